#include "io/win32_error.h"

#include <windows.h>

#include <cerrno>
#include <string>

#include "text/wide_text.h"

namespace brimwald {
namespace {

int ErrnoFor(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    default:
      return 0;
  }
}

// The system's own text for the codes without a C library match.
class WindowsCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "windows"; }

  std::string message(int code) const override {
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
            FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&text),
        0, nullptr);
    std::string message;
    if (length > 0) message = Narrow(std::wstring_view(text, length));
    ::LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' ||
            message.back() == '.' || message.back() == ' ')) {
      message.pop_back();
    }
    if (message.empty()) message = "Windows error " + std::to_string(code);
    return message;
  }
};

}  // namespace

std::error_code WindowsErrorCode(unsigned long code) {
  static const WindowsCategory category;
  int error_number = ErrnoFor(code);
  if (error_number != 0) return {error_number, std::generic_category()};
  return {static_cast<int>(code), category};
}

Error WindowsFileError(std::string_view what, std::string_view path,
                       unsigned long code) {
  return SystemFileError(what, path, WindowsErrorCode(code));
}

}  // namespace brimwald
