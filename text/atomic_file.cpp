#include "text/atomic_file.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "text/file_error.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

// Large enough that the operating system sees few, big writes.
constexpr size_t kBufferSize = 256 * 1024;
constexpr int kCreateAttempts = 16;

std::string TempCandidate(const std::string& path, std::mt19937& random) {
  std::string name = path + ".tmp-";
  AppendHexText(name, static_cast<int32_t>(random() & 0x7FFFFFFFu));
  return name;
}

}  // namespace

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
  std::random_device seed;
  std::mt19937 random(seed());
  int error_number = 0;
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::string candidate = TempCandidate(path_, random);
    // "x": never reuse a file that is already there.
    file_ = std::fopen(candidate.c_str(), "wbx");
    if (file_ != nullptr) {
      temp_path_ = std::move(candidate);
      break;
    }
    error_number = errno;
    if (error_number != EEXIST) break;
  }
  if (file_ == nullptr)
    throw SystemFileError("cannot create", path_, error_number);
  std::setvbuf(file_, nullptr, _IONBF, 0);
  buffer_.reserve(kBufferSize);
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  if (bytes.size() >= kBufferSize) {
    buffer_.assign(bytes);
    Flush();
    return;
  }
  buffer_.append(bytes);
}

void AtomicFile::WriteLine(std::string_view line) {
  Write(line);
  Write("\r\n");
}

void AtomicFile::Flush() {
  if (buffer_.empty()) return;
  errno = 0;
  size_t written = std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
  if (written != buffer_.size()) {
    throw SystemFileError("cannot write", temp_path_, errno);
  }
  buffer_.clear();
}

void AtomicFile::Commit() {
  Flush();
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) {
    throw SystemFileError("cannot write", temp_path_, errno);
  }
  std::error_code error;
  std::filesystem::rename(temp_path_, path_, error);
  if (error) throw FileError("cannot replace", path_, error.message());
  temp_path_.clear();
}

void AtomicFile::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_path_.empty()) {
    std::remove(temp_path_.c_str());
    temp_path_.clear();
  }
}

}  // namespace brimwald
