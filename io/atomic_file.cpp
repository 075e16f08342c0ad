#include "io/atomic_file.h"

#include <filesystem>

#include "base/error.h"
#include "io/interrupt.h"
#include "io/utf8_path.h"

namespace brimwald {
namespace {

// Large enough that the operating system sees few, big writes.
constexpr size_t kBufferSize = 256 * 1024;

// The folder of `path`, whose failure to open is the file's.
Folder FolderOf(const std::string& path) {
  std::error_code error;
  std::optional<Folder> folder =
      Folder::Open(Utf8FromPath(PathFromUtf8(path).parent_path()), error);
  if (!folder) throw SystemFileError("cannot create", path, error);
  return std::move(*folder);
}

std::string NameOf(const std::string& path) {
  return Utf8FromPath(PathFromUtf8(path).filename());
}

}  // namespace

AtomicFile::AtomicFile(std::string path)
    : own_folder_(FolderOf(path)),
      folder_(&*own_folder_),
      name_(NameOf(path)),
      path_(std::move(path)) {
  Create();
}

AtomicFile::AtomicFile(const Folder& folder, std::string name)
    : folder_(&folder), name_(std::move(name)), path_(folder.PathOf(name_)) {
  Create();
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  if (bytes.size() >= kBufferSize) {
    WriteOut(bytes.data(), bytes.size());
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
  WriteOut(buffer_.data(), buffer_.size());
  buffer_.clear();
}

}  // namespace brimwald
