#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/error.h"
#include "io/folder.h"
#include "io/input_file.h"
#include "io/win32_error.h"
#include "text/wide_text.h"

namespace brimwald {
namespace {

// ReadFile takes a 32-bit count.
constexpr size_t kMaxRead = size_t{1} << 30;

HANDLE AsHandle(NativeHandle handle) { return static_cast<HANDLE>(handle); }

// Opens `path` for reading; with FILE_FLAG_OPEN_REPARSE_POINT in `flags`,
// a link itself rather than what it points to.
HANDLE OpenForReading(const std::string& path, DWORD flags) {
  // Backup semantics open a folder too, so that it is refused by name
  // below rather than as "access denied". Others may go on writing or
  // renaming the file, as on other systems.
  HANDLE handle = ::CreateFileW(
      NativePath(path).c_str(), GENERIC_READ,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    throw WindowsFileError("cannot open", path, ::GetLastError());
  }
  return handle;
}

FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber,
          (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

int64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return static_cast<int64_t>((uint64_t{info.nFileSizeHigh} << 32) |
                              info.nFileSizeLow);
}

int64_t ModifiedOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return static_cast<int64_t>(
      (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
      info.ftLastWriteTime.dwLowDateTime);
}

}  // namespace

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw FileError("cannot open", path_, "no file name");
  handle_ = OpenForReading(path_, 0);
  Check();
}

InputFile::InputFile(const Folder& folder, std::string_view name)
    : path_(folder.PathOf(name)) {
  handle_ = OpenForReading(path_, FILE_FLAG_OPEN_REPARSE_POINT);
  Check();
}

// Keeps the open file only if it is a regular one, with its size and id.
void InputFile::Check() {
  HANDLE handle = AsHandle(handle_);
  BY_HANDLE_FILE_INFORMATION info;
  std::optional<Error> refusal;
  // A console, a pipe or a printer port would block or never end.
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    refusal = FileError("cannot open", path_, "it is not a regular file");
  } else if (!::GetFileInformationByHandle(handle, &info)) {
    refusal = WindowsFileError("cannot open", path_, ::GetLastError());
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    refusal = FileError("cannot open", path_,
                        "it is a symbolic link or junction, which is never "
                        "followed");
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    refusal = FileError("cannot open", path_, "it is a folder, not a file");
  }
  if (refusal) {
    ::CloseHandle(handle);
    throw *refusal;
  }
  size_ = SizeOf(info);
  modified_ = ModifiedOf(info);
  id_ = IdOf(info);
}

bool InputFile::StillAtPath() const {
  BY_HANDLE_FILE_INFORMATION now;
  if (!::GetFileInformationByHandle(AsHandle(handle_), &now) ||
      SizeOf(now) != size_ || ModifiedOf(now) != modified_) {
    return false;
  }
  HANDLE named = ::CreateFileW(
      NativePath(path_).c_str(), FILE_READ_ATTRIBUTES,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
      nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  bool same = ::GetFileInformationByHandle(named, &info) &&
              (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
              IdOf(info) == id_;
  ::CloseHandle(named);
  return same;
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
