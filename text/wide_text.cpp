#include "text/wide_text.h"

#include <windows.h>

namespace brimwald {
namespace {

// Paths from this length on don't fit everywhere: CreateDirectoryW leaves
// room for an 8.3 name below MAX_PATH.
constexpr size_t kLongPath = MAX_PATH - 12;

std::optional<std::wstring> Convert(std::string_view utf8, DWORD flags) {
  if (utf8.empty()) return std::wstring();
  int size = static_cast<int>(utf8.size());
  int length =
      ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  return Convert(utf8, 0).value_or(std::wstring());
}

std::optional<std::wstring> WidenStrictly(std::string_view utf8) {
  return Convert(utf8, MB_ERR_INVALID_CHARS);
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  int size = static_cast<int>(wide.size());
  int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0,
                                     nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string utf8(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length,
                        nullptr, nullptr);
  return utf8;
}

std::wstring AbsolutePath(const std::wstring& path) {
  DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::wstring full(length, L'\0');
  length = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  if (length == 0 || length >= full.size()) return path;
  full.resize(length);
  return full;
}

std::wstring NativePath(std::string_view utf8) {
  std::wstring path = Widen(utf8);
  if (path.size() < kLongPath || path.starts_with(L"\\\\?\\")) return path;
  std::wstring full = AbsolutePath(path);
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') {
    return L"\\\\?\\" + full;
  }
  if (full.starts_with(L"\\\\") && !full.starts_with(L"\\\\.\\")) {
    return L"\\\\?\\UNC\\" + full.substr(2);
  }
  return path;
}

}  // namespace brimwald
