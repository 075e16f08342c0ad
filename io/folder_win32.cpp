#include <windows.h>

#include <cerrno>
#include <utility>

#include "base/error.h"
#include "io/folder.h"
#include "io/win32_error.h"
#include "text/wide_text.h"

// Windows creates files by path, not relative to an open folder. Each Folder
// therefore keeps its folder open without sharing the right to delete it:
// while it lives, the folder can be neither removed, renamed nor replaced by
// a link, so a path built on it reaches that very folder.

namespace brimwald {
namespace {

const NativeHandle kNoHandle = INVALID_HANDLE_VALUE;

HANDLE OpenFolderHandle(const std::string& path, DWORD flags) {
  return ::CreateFileW(NativePath(path.empty() ? "." : path).c_str(),
                       FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags,
                       nullptr);
}

DWORD AttributesOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(handle, &info)) {
    return INVALID_FILE_ATTRIBUTES;
  }
  return info.dwFileAttributes;
}

bool IsLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void Close(NativeHandle handle) {
  if (handle != kNoHandle) ::CloseHandle(static_cast<HANDLE>(handle));
}

}  // namespace

std::optional<Folder> Folder::Open(std::string path, std::error_code& error) {
  HANDLE handle = OpenFolderHandle(path, 0);
  if (handle == INVALID_HANDLE_VALUE) {
    error = WindowsErrorCode(::GetLastError());
    return std::nullopt;
  }
  if (!IsFolder(AttributesOf(handle))) {
    ::CloseHandle(handle);
    error.assign(ENOTDIR, std::generic_category());
    return std::nullopt;
  }
  return Folder(std::move(path), handle);
}

Folder::~Folder() { Close(handle_); }

Folder::Folder(Folder&& other) noexcept
    : path_(std::move(other.path_)),
      handle_(std::exchange(other.handle_, kNoHandle)) {}

Folder& Folder::operator=(Folder&& other) noexcept {
  if (this != &other) {
    Close(handle_);
    path_ = std::move(other.path_);
    handle_ = std::exchange(other.handle_, kNoHandle);
  }
  return *this;
}

std::string Folder::PathOf(std::string_view name) const {
  if (path_.empty()) return std::string(name);
  std::string path = path_;
  if (path.back() != '/' && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

Folder Folder::Child(std::string_view name, bool create, bool* made) const {
  std::string path = PathOf(name);
  bool made_here = false;
  if (create) {
    if (::CreateDirectoryW(NativePath(path).c_str(), nullptr)) {
      made_here = true;
    } else if (DWORD error = ::GetLastError(); error != ERROR_ALREADY_EXISTS) {
      throw WindowsFileError("cannot make folder", path, error);
    }
  }
  if (made != nullptr) *made = made_here;
  // Opened as what the name itself is, never what a link there points to.
  HANDLE handle = OpenFolderHandle(path, FILE_FLAG_OPEN_REPARSE_POINT);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    // A folder made here that can't be opened is no one's to remove later.
    if (made_here) ::RemoveDirectoryW(NativePath(path).c_str());
    throw WindowsFileError("cannot open folder", path, error);
  }
  DWORD attributes = AttributesOf(handle);
  // The name's own attributes too: some systems (wine, for one) report a
  // link only there. The open handle keeps the name from changing meanwhile.
  if (IsLink(attributes) ||
      IsLink(::GetFileAttributesW(NativePath(path).c_str()))) {
    ::CloseHandle(handle);
    throw FileError("cannot open folder", path,
                    "it is a symbolic link or junction, which is never "
                    "followed");
  }
  if (!IsFolder(attributes)) {
    ::CloseHandle(handle);
    throw FileError("cannot open folder", path, "it is not a folder");
  }
  return Folder(std::move(path), handle);
}

// Each part must be opened on its own here, to be checked for a reparse
// point and held against a move: there is no one-call lookup.
std::optional<Folder> Folder::Beneath(const std::vector<std::string>&) const {
  return std::nullopt;
}

bool Folder::RemoveEmptyChild(std::string_view name) const {
  return ::RemoveDirectoryW(NativePath(PathOf(name)).c_str()) != 0;
}

}  // namespace brimwald
