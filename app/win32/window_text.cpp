#include "app/win32/window_text.h"

#include "text/wide_text.h"

namespace brimwald {

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1,
                    L'\0');
  text.resize(static_cast<size_t>(
      ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring WithCrLf(const std::wstring& text) {
  std::wstring lines;
  for (wchar_t c : text) {
    if (c == L'\n') lines += L'\r';
    lines += c;
  }
  return lines;
}

std::vector<std::string> DroppedFiles(HDROP drop) {
  std::vector<std::string> files;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring file(::DragQueryFileW(drop, i, nullptr, 0), L'\0');
    ::DragQueryFileW(drop, i, file.data(), static_cast<UINT>(file.size() + 1));
    files.push_back(Narrow(file));
  }
  return files;
}

}  // namespace brimwald
