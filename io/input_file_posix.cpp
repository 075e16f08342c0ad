#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/error.h"
#include "io/input_file.h"

namespace brimwald {
namespace {

const char* NotRegularReason(mode_t mode) {
  if (S_ISREG(mode)) return nullptr;
  return S_ISDIR(mode) ? "it is a folder, not a file"
                       : "it is not a regular file";
}

}  // namespace

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw FileError("cannot open", path_, "no file name");
  // O_NONBLOCK: opening a pipe must not wait for a writer before fstat can
  // refuse it. Reads of a regular file ignore the flag.
  handle_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (handle_ < 0) throw SystemFileError("cannot open", path_, errno);
  struct stat status;
  const char* refusal = nullptr;
  if (::fstat(handle_, &status) != 0) {
    int error_number = errno;
    ::close(handle_);
    throw SystemFileError("cannot open", path_, error_number);
  }
  refusal = NotRegularReason(status.st_mode);
  if (refusal != nullptr) {
    ::close(handle_);
    throw FileError("cannot open", path_, refusal);
  }
  size_ = status.st_size;
  id_ = {static_cast<uint64_t>(status.st_dev),
         static_cast<uint64_t>(status.st_ino)};
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
