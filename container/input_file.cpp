#include "container/input_file.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "text/file_error.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;

// Checked before opening, since opening a pipe blocks. A path that can't be
// looked at is left to the open, which reports the system's reason.
void RefuseNonRegular(const std::string& path) {
  std::error_code error;
  fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status) || fs::is_regular_file(status)) return;
  throw FileError("cannot open", path,
                  fs::is_directory(status) ? "it is a folder, not a file"
                                           : "it is not a regular file");
}

int64_t FileSize(const std::string& path) {
  std::error_code error;
  uintmax_t size = fs::file_size(path, error);
  if (error) throw FileError("cannot open", path, error.message());
  return static_cast<int64_t>(std::min<uintmax_t>(size, INT64_MAX));
}

}  // namespace

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw FileError("cannot open", path_, "no file name");
  RefuseNonRegular(path_);
  errno = 0;
  // "rb" never creates a file that isn't there; a missing file fails here
  // with the system's reason.
  file_ = std::fopen(path_.c_str(), "rb");
  if (file_ == nullptr) throw SystemFileError("cannot open", path_, errno);
  try {
    size_ = FileSize(path_);
  } catch (...) {
    std::fclose(file_);
    throw;
  }
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

InputFile::~InputFile() { std::fclose(file_); }

void InputFile::ReadAt(int64_t offset, char* out, size_t count) {
  errno = 0;
  // Offsets come from signed 32-bit container values, so they fit a long
  // even where long has 32 bits.
  if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0 &&
      std::fread(out, 1, count, file_) == count) {
    return;
  }
  if (std::ferror(file_) || errno != 0) {
    throw SystemFileError("cannot read", path_, errno);
  }
  throw FileError("cannot read", path_, "the file became shorter while open");
}

}  // namespace brimwald
