#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/error.h"
#include "io/folder.h"
#include "io/input_file.h"

namespace brimwald {
namespace {

const char* NotRegularReason(mode_t mode) {
  if (S_ISREG(mode)) return nullptr;
  return S_ISDIR(mode) ? "it is a folder, not a file"
                       : "it is not a regular file";
}

int64_t Nanoseconds(const struct timespec& time) {
  return int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec;
}

// O_NONBLOCK: opening a pipe must not wait for a writer before fstat can
// refuse it. Reads of a regular file ignore the flag.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

}  // namespace

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw FileError("cannot open", path_, "no file name");
  handle_ = ::open(path_.c_str(), kOpenFlags);
  if (handle_ < 0) throw SystemFileError("cannot open", path_, errno);
  Check();
}

InputFile::InputFile(const Folder& folder, std::string_view name)
    : path_(folder.PathOf(name)) {
  std::string part(name);
  handle_ = ::openat(folder.handle(), part.c_str(), kOpenFlags | O_NOFOLLOW);
  if (handle_ < 0 && errno == ELOOP) {
    throw FileError("cannot open", path_,
                    "it is a symbolic link, which is never followed");
  }
  if (handle_ < 0) throw SystemFileError("cannot open", path_, errno);
  Check();
}

// Keeps the open file only if it is a regular one, with its size and id.
void InputFile::Check() {
  struct stat status;
  if (::fstat(handle_, &status) != 0) {
    int error_number = errno;
    ::close(handle_);
    throw SystemFileError("cannot open", path_, error_number);
  }
  const char* refusal = NotRegularReason(status.st_mode);
  if (refusal != nullptr) {
    ::close(handle_);
    throw FileError("cannot open", path_, refusal);
  }
  size_ = status.st_size;
  modified_ = Nanoseconds(status.st_mtim);
  id_ = {static_cast<uint64_t>(status.st_dev),
         static_cast<uint64_t>(status.st_ino)};
}

bool InputFile::StillAtPath() const {
  struct stat now;
  struct stat named;
  return ::fstat(handle_, &now) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
         now.st_dev == named.st_dev && now.st_ino == named.st_ino &&
         now.st_size == size_ && Nanoseconds(now.st_mtim) == modified_;
}

InputFile::~InputFile() { ::close(handle_); }

void InputFile::ReadAt(int64_t offset, char* out, size_t count) const {
  while (count > 0) {
    ssize_t got = ::pread(handle_, out, count, static_cast<off_t>(offset));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw SystemFileError("cannot read", path_, errno);
    }
    if (got == 0) {
      throw FileError("cannot read", path_,
                      "the file became shorter while open");
    }
    out += got;
    offset += got;
    count -= static_cast<size_t>(got);
  }
}

}  // namespace brimwald
