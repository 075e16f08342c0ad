#include "container/stream_container.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "container/checked_int.h"
#include "text/file_error.h"

namespace brimwald {
namespace {

constexpr int64_t kBlockSize = 64 * 1024;

// A regular file's size; anything else (a directory, a device, a pipe) is no
// container and could block or never end.
int64_t RegularFileSize(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::file_status status = fs::status(path, error);
  if (error) throw FileError("cannot open", path, error.message());
  if (fs::is_directory(status)) {
    throw FileError("cannot open", path, "it is a directory");
  }
  if (!fs::is_regular_file(status)) {
    throw FileError("cannot open", path, "it is not a regular file");
  }
  uintmax_t size = fs::file_size(path, error);
  if (error) throw FileError("cannot open", path, error.message());
  return static_cast<int64_t>(std::min<uintmax_t>(size, INT64_MAX));
}

int32_t DecodeLittleEndian(const char* bytes) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return static_cast<int32_t>(value);
}

}  // namespace

StreamContainer::StreamContainer(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw FileError("cannot open", path_, "no file name");
  errno = 0;
  // "rb" never creates a file that isn't there.
  file_ = std::fopen(path_.c_str(), "rb");
  if (file_ == nullptr) throw SystemFileError("cannot open", path_, errno);
  try {
    size_ = RegularFileSize(path_);
  } catch (...) {
    std::fclose(file_);
    throw;
  }
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

StreamContainer::~StreamContainer() { std::fclose(file_); }

std::string StreamContainer::ReadMagic() {
  std::string magic(
      static_cast<size_t>(std::min<int64_t>(size_, kContainerMagic.size())),
      '\0');
  CopyOut(0, magic.size(), magic.data());
  return magic;
}

int32_t StreamContainer::ReadInteger(int32_t offset) {
  if (offset < 0 || offset > size_ - 4) ThrowOutside(offset, 4);
  char bytes[4];
  CopyOut(offset, sizeof bytes, bytes);
  return DecodeLittleEndian(bytes);
}

std::string_view StreamContainer::ReadNameWindow(int32_t offset) {
  if (offset < 0 || offset >= size_) ThrowOutside(offset, kNameWindowSize);
  auto count =
      static_cast<size_t>(std::min<int64_t>(kNameWindowSize, size_ - offset));
  CopyOut(offset, count, window_.data());
  return std::string_view(window_.data(), count);
}

VfsRecord StreamContainer::ReadRecord(int32_t record_offset) {
  auto field = [&](int32_t field_offset, const char* name) {
    std::optional<int32_t> position = CheckedAdd(record_offset, field_offset);
    if (!position) {
      throw OverflowError("cannot read '" + path_ + "': the position of " +
                          name + " in the record at offset " +
                          std::to_string(record_offset) +
                          " leaves the signed 32-bit range");
    }
    return ReadInteger(*position);
  };
  VfsRecord record;
  record.BodyOffset = field(8, "BodyOffset");
  record.BodySize = field(16, "BodySize");
  record.HeaderOffset = field(24, "HeaderOffset");
  record.HeaderSize = field(32, "HeaderSize");
  record.NameOffset = field(48, "NameOffset");
  return record;
}

void StreamContainer::CopyOut(int64_t offset, size_t count, char* out) {
  while (count > 0) {
    const Block& block = BlockAt(offset);
    auto skip = static_cast<size_t>(offset - block.start);
    size_t take = std::min(count, block.bytes.size() - skip);
    std::copy_n(block.bytes.data() + skip, take, out);
    out += take;
    offset += static_cast<int64_t>(take);
    count -= take;
  }
}

const StreamContainer::Block& StreamContainer::BlockAt(int64_t offset) {
  int64_t start = offset - offset % kBlockSize;
  ++use_clock_;
  Block* victim = &blocks_[0];
  for (Block& block : blocks_) {
    if (block.start == start) {
      block.last_use = use_clock_;
      return block;
    }
    if (block.last_use < victim->last_use) victim = &block;
  }
  auto count = static_cast<size_t>(std::min(kBlockSize, size_ - start));
  victim->start = -1;
  victim->bytes.resize(count);
  errno = 0;
  if (std::fseek(file_, static_cast<long>(start), SEEK_SET) != 0 ||
      std::fread(victim->bytes.data(), 1, count, file_) != count) {
    if (std::ferror(file_)) throw SystemFileError("cannot read", path_, errno);
    throw FileError("cannot read", path_, "the file became shorter while open");
  }
  victim->start = start;
  victim->last_use = use_clock_;
  return *victim;
}

void StreamContainer::ThrowOutside(int32_t offset, int32_t count) const {
  if (offset < 0) {
    throw FileError("cannot read", path_,
                    "offset " + std::to_string(offset) +
                        " is before the start of the file");
  }
  throw FileError("cannot read", path_,
                  "unexpected end of file reading " + std::to_string(count) +
                      " bytes at offset " + std::to_string(offset) +
                      " (the file has " + std::to_string(size_) + " bytes)");
}

}  // namespace brimwald
