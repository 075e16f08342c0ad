#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/error.h"
#include "io/folder.h"

namespace brimwald {
namespace {

constexpr int kNoHandle = -1;

// Why `name` in `folder` could not be opened as a folder without following a
// link: a precise reason for the usual refusals, the system's otherwise.
Error ChildRefusal(const Folder& folder, std::string_view name,
                   int error_number) {
  std::string path = folder.PathOf(name);
  struct stat status;
  std::string part(name);
  if (::fstatat(folder.handle(), part.c_str(), &status, AT_SYMLINK_NOFOLLOW) ==
      0) {
    if (S_ISLNK(status.st_mode)) {
      return FileError("cannot open folder", path,
                       "it is a symbolic link, which is never followed");
    }
    if (!S_ISDIR(status.st_mode)) {
      return FileError("cannot open folder", path, "it is not a folder");
    }
  }
  return SystemFileError("cannot open folder", path, error_number);
}

}  // namespace

std::optional<Folder> Folder::Open(std::string path, std::error_code& error) {
  const char* native = path.empty() ? "." : path.c_str();
  int handle = ::open(native, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) {
    error.assign(errno, std::generic_category());
    return std::nullopt;
  }
  return Folder(std::move(path), handle);
}

Folder::~Folder() {
  if (handle_ != kNoHandle) ::close(handle_);
}

Folder::Folder(Folder&& other) noexcept
    : path_(std::move(other.path_)),
      handle_(std::exchange(other.handle_, kNoHandle)) {}

Folder& Folder::operator=(Folder&& other) noexcept {
  if (this != &other) {
    if (handle_ != kNoHandle) ::close(handle_);
    path_ = std::move(other.path_);
    handle_ = std::exchange(other.handle_, kNoHandle);
  }
  return *this;
}

std::string Folder::PathOf(std::string_view name) const {
  if (path_.empty()) return std::string(name);
  std::string path = path_;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

Folder Folder::Child(std::string_view name, bool create, bool* made) const {
  std::string part(name);
  bool made_here = false;
  if (create) {
    if (::mkdirat(handle_, part.c_str(), 0777) == 0) {
      made_here = true;
    } else if (errno != EEXIST) {
      throw SystemFileError("cannot make folder", PathOf(name), errno);
    }
  }
  int handle = ::openat(handle_, part.c_str(),
                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (handle < 0) {
    int error_number = errno;
    // A folder made here that can't be opened is no one's to remove later.
    if (made_here) ::unlinkat(handle_, part.c_str(), AT_REMOVEDIR);
    throw ChildRefusal(*this, name, error_number);
  }
  if (made != nullptr) *made = made_here;
  return Folder(PathOf(name), handle);
}

bool Folder::RemoveEmptyChild(std::string_view name) const {
  std::string part(name);
  return ::unlinkat(handle_, part.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace brimwald
