#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

#include "base/error.h"
#include "io/folder.h"
#include "io/forced_fallbacks.h"

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

constexpr int kChildFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

int OpenChild(int folder, const char* name) {
  return ::openat(folder, name, kChildFlags);
}

// Whether openat2 failed because the kernel lacks it or a seccomp filter
// refuses it, rather than because of the path.
bool LookupRefused(int error_number) {
  return error_number == ENOSYS || error_number == EPERM ||
         error_number == E2BIG || error_number == EINVAL;
}

// `folder`/`relative` opened in one call, refusing every link and every
// way out of `folder`; -1 with errno set otherwise. Once refused by the
// system, it isn't asked again.
int OpenBeneath(int folder, const char* relative) {
  static std::atomic<bool> available{true};
  if (!available.load(std::memory_order_relaxed)) {
    errno = ENOSYS;
    return -1;
  }
  open_how how = {};
  // A path handle: the base of *at() calls, which is all Beneath() gives
  // it for, costs less to open and close than an open folder.
  how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  long handle;
  do {
    handle = ::syscall(SYS_openat2, folder, relative, &how, sizeof how);
  } while (handle < 0 && errno == EINTR);
  if (handle < 0 && LookupRefused(errno)) {
    available.store(false, std::memory_order_relaxed);
  }
  return static_cast<int>(handle);
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
  std::string path;
  path.reserve(path_.size() + 1 + name.size());
  path = path_;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

// Opened first and made only when missing: most folders are there already.
Folder Folder::Child(std::string_view name, bool create, bool* made) const {
  std::string part(name);
  bool made_here = false;
  int handle = OpenChild(handle_, part.c_str());
  if (handle < 0 && errno == ENOENT && create) {
    if (::mkdirat(handle_, part.c_str(), 0777) == 0) {
      made_here = true;
    } else if (errno != EEXIST) {
      throw SystemFileError("cannot make folder", PathOf(name), errno);
    }
    handle = OpenChild(handle_, part.c_str());
  }
  if (handle < 0) {
    int error_number = errno;
    // A folder made here that can't be opened is no one's to remove later.
    if (made_here) ::unlinkat(handle_, part.c_str(), AT_REMOVEDIR);
    throw ChildRefusal(*this, name, error_number);
  }
  if (made != nullptr) *made = made_here;
  return Folder(PathOf(name), handle);
}

std::optional<Folder> Folder::Beneath(
    const std::vector<std::string>& parts) const {
  if (forced_fallbacks().folder_walk || parts.empty()) return std::nullopt;
  // The path for messages, which ends in the lookup's relative path.
  std::string path = PathOf("");
  const size_t relative = path.size();
  for (const std::string& part : parts) {
    // A part is one name; "." and ".." would be refused anyway.
    if (part.empty() || part.find('/') != std::string::npos) {
      return std::nullopt;
    }
    if (path.size() > relative) path += '/';
    path += part;
  }
  int handle = OpenBeneath(handle_, path.c_str() + relative);
  if (handle < 0) return std::nullopt;
  return Folder(std::move(path), handle);
}

bool Folder::RemoveEmptyChild(std::string_view name) const {
  std::string part(name);
  return ::unlinkat(handle_, part.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace brimwald
