#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/error.h"
#include "io/input_file.h"
#include "io/win32_error.h"
#include "text/wide_text.h"

namespace brimwald {
namespace {

// ReadFile takes a 32-bit count.
constexpr size_t kMaxRead = size_t{1} << 30;

HANDLE AsHandle(NativeHandle handle) { return static_cast<HANDLE>(handle); }

// Checks that the open `handle` of `path` is a regular file and reads its
// size; the Error that refuses it otherwise.
std::optional<Error> CheckRegular(HANDLE handle, const std::string& path,
                                  int64_t& size, FileId& id) {
  // A console, a pipe or a printer port would block or never end.
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    return FileError("cannot open", path, "it is not a regular file");
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(handle, &info)) {
    return WindowsFileError("cannot open", path, ::GetLastError());
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return FileError("cannot open", path, "it is a folder, not a file");
  }
  size = static_cast<int64_t>((uint64_t{info.nFileSizeHigh} << 32) |
                              info.nFileSizeLow);
  id = {info.dwVolumeSerialNumber,
        (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
  return std::nullopt;
}

}  // namespace

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw FileError("cannot open", path_, "no file name");
  // Backup semantics open a folder too, so that it is refused by name
  // below rather than as "access denied". Others may go on writing or
  // renaming the file, as on other systems.
  HANDLE handle = ::CreateFileW(
      NativePath(path_).c_str(), GENERIC_READ,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    throw WindowsFileError("cannot open", path_, ::GetLastError());
  }
  std::optional<Error> refusal = CheckRegular(handle, path_, size_, id_);
  if (refusal) {
    ::CloseHandle(handle);
    throw *refusal;
  }
  handle_ = handle;
}

InputFile::~InputFile() { ::CloseHandle(AsHandle(handle_)); }

void InputFile::ReadAt(int64_t offset, char* out, size_t count) const {
  while (count > 0) {
    // The offset travels with each read, so no file position is shared.
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset));
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    DWORD got = 0;
    if (!::ReadFile(AsHandle(handle_), out,
                    static_cast<DWORD>(std::min(count, kMaxRead)), &got, &at)) {
      DWORD error = ::GetLastError();
      if (error != ERROR_HANDLE_EOF) {
        throw WindowsFileError("cannot read", path_, error);
      }
      got = 0;
    }
    if (got == 0) {
      throw FileError("cannot read", path_,
                      "the file became shorter while open");
    }
    out += got;
    offset += got;
    count -= got;
  }
}

}  // namespace brimwald
