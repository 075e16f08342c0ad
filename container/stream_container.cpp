#include "container/stream_container.h"

#include <algorithm>

#include "container/checked_int.h"
#include "text/file_error.h"

namespace brimwald {
namespace {

constexpr int64_t kBlockSize = 64 * 1024;

int32_t DecodeLittleEndian(const char* bytes) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return static_cast<int32_t>(value);
}

}  // namespace

StreamContainer::StreamContainer(std::string path) : file_(std::move(path)) {}

std::string StreamContainer::ReadMagic() {
  std::string magic(
      static_cast<size_t>(std::min<int64_t>(size(), kContainerMagic.size())),
      '\0');
  CopyOut(0, magic.size(), magic.data());
  return magic;
}

int32_t StreamContainer::ReadInteger(int32_t offset) {
  if (offset < 0 || offset > size() - 4) ThrowOutside(offset, 4);
  char bytes[4];
  CopyOut(offset, sizeof bytes, bytes);
  return DecodeLittleEndian(bytes);
}

std::string_view StreamContainer::ReadNameWindow(int32_t offset) {
  if (offset < 0 || offset >= size()) ThrowOutside(offset, kNameWindowSize);
  auto count =
      static_cast<size_t>(std::min<int64_t>(kNameWindowSize, size() - offset));
  CopyOut(offset, count, window_.data());
  return std::string_view(window_.data(), count);
}

VfsRecord StreamContainer::ReadRecord(int32_t record_offset) {
  auto field = [&](int32_t field_offset, const char* name) {
    std::optional<int32_t> position = CheckedAdd(record_offset, field_offset);
    if (!position) {
      throw OverflowError("cannot read '" + path() + "': the position of " +
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
  auto count = static_cast<size_t>(std::min(kBlockSize, size() - start));
  victim->start = -1;
  victim->bytes.resize(count);
  file_.ReadAt(start, victim->bytes.data(), count);
  victim->start = start;
  victim->last_use = use_clock_;
  return *victim;
}

void StreamContainer::ThrowOutside(int32_t offset, int32_t count) const {
  if (offset < 0) {
    throw FileError("cannot read", path(),
                    "offset " + std::to_string(offset) +
                        " is before the start of the file");
  }
  throw FileError("cannot read", path(),
                  "unexpected end of file reading " + std::to_string(count) +
                      " bytes at offset " + std::to_string(offset) +
                      " (the file has " + std::to_string(size()) + " bytes)");
}

}  // namespace brimwald
