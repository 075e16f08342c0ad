#include "container/stream_container.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "base/checked_int.h"
#include "base/error.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

constexpr int64_t kBlockSize = 64 * 1024;

std::string Bytes(int64_t count) { return CountText(count, "byte", "bytes"); }

int32_t DecodeLittleEndian(const char* bytes) {
  uint32_t value;
  std::memcpy(&value, bytes, sizeof value);
  if constexpr (std::endian::native == std::endian::big) {
    value = (value >> 24) | (value >> 8 & 0xFF00u) | (value << 8 & 0xFF0000u) |
            (value << 24);
  }
  return static_cast<int32_t>(value);
}

void EncodeLittleEndian(int32_t value, char* bytes) {
  auto bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(bits >> (8 * i));
}

// Where each field of a record stands, in the order they are read.
struct RecordField {
  int32_t offset;
  const char* name;
  int32_t VfsRecord::*member;
};
constexpr RecordField kRecordFields[] = {
    {8, "BodyOffset", &VfsRecord::BodyOffset},
    {16, "BodySize", &VfsRecord::BodySize},
    {24, "HeaderOffset", &VfsRecord::HeaderOffset},
    {32, "HeaderSize", &VfsRecord::HeaderSize},
    {48, "NameOffset", &VfsRecord::NameOffset}};

}  // namespace

VfsRecord DecodeRecord(const char* bytes) {
  VfsRecord record;
  for (const RecordField& field : kRecordFields) {
    record.*field.member = DecodeLittleEndian(bytes + field.offset);
  }
  return record;
}

void EncodeRecord(const VfsRecord& record, char* bytes) {
  for (const RecordField& field : kRecordFields) {
    EncodeLittleEndian(record.*field.member, bytes + field.offset);
  }
}

StreamContainer::StreamContainer(std::string path) : file_(std::move(path)) {}

std::string StreamContainer::ReadMagic() {
  std::string magic(
      static_cast<size_t>(std::min<int64_t>(size(), kContainerMagic.size())),
      '\0');
  ReadBytes(0, magic.size(), magic.data());
  return magic;
}

int32_t StreamContainer::ReadInteger(int32_t offset) {
  if (!Holds(offset, 4)) throw ContainerError(path(), Outside(offset, 4));
  char bytes[4];
  ReadBytes(offset, sizeof bytes, bytes);
  return DecodeLittleEndian(bytes);
}

std::string NameOffsetProblem(int32_t offset, int64_t size) {
  return "name: NameOffset " + std::to_string(offset) +
         (offset < 0 ? " is negative"
                     : " lies past the end of the file (" + Bytes(size) + ")");
}

std::string_view StreamContainer::ReadNameWindow(int32_t offset,
                                                 int32_t index) {
  if (offset < 0 || offset >= size()) {
    throw EntryError(path(), index, std::nullopt,
                     NameOffsetProblem(offset, size()));
  }
  auto count =
      static_cast<size_t>(std::min<int64_t>(kNameWindowSize, size() - offset));
  return View(offset, count, window_.data());
}

VfsRecord StreamContainer::ReadRecord(int32_t record_offset, int32_t index) {
  // The usual case, a record wholly inside the file: one read.
  if (record_offset <= INT32_MAX - kVfsRecordSize &&
      Holds(record_offset, kVfsRecordSize)) {
    char copy[kVfsRecordSize];
    const char* bytes = View(record_offset, sizeof copy, copy).data();
    return DecodeRecord(bytes);
  }
  // Field by field, so that an error names the first field that fails.
  VfsRecord record;
  for (const RecordField& field : kRecordFields) {
    std::optional<int32_t> position = CheckedAdd(record_offset, field.offset);
    if (!position || !Holds(*position, 4)) {
      std::string why = std::string("the record's ") + field.name +
                        " at offset " +
                        std::to_string(int64_t{record_offset} + field.offset);
      why += position ? " lies outside the file (" + Bytes(size()) + ")"
                      : " leaves the signed 32-bit range";
      throw EntryError(path(), index, std::nullopt, why, ErrorKind::kContainer);
    }
    char bytes[4];
    ReadBytes(*position, sizeof bytes, bytes);
    record.*field.member = DecodeLittleEndian(bytes);
  }
  return record;
}

void StreamContainer::ReadBytes(int64_t offset, size_t count, char* out) {
  if (!Holds(offset, static_cast<int64_t>(count))) {
    throw FileError("cannot read", path(),
                    Outside(offset, static_cast<int64_t>(count)));
  }
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

// Most reads of a walk lie within one cached block: they are read there,
// without a copy.
std::string_view StreamContainer::View(int64_t offset, size_t count,
                                       char* spill) {
  const Block& block = BlockAt(offset);
  auto skip = static_cast<size_t>(offset - block.start);
  if (block.bytes.size() - skip >= count) {
    return std::string_view(block.bytes.data() + skip, count);
  }
  ReadBytes(offset, count, spill);
  return std::string_view(spill, count);
}

const StreamContainer::Block& StreamContainer::BlockAt(int64_t offset) {
  int64_t start = offset - offset % kBlockSize;
  ++use_clock_;
  if (last_block_->start == start) {
    last_block_->last_use = use_clock_;
    return *last_block_;
  }
  Block* victim = &blocks_[0];
  for (Block& block : blocks_) {
    if (block.start == start) {
      block.last_use = use_clock_;
      last_block_ = &block;
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
  last_block_ = victim;
  return *victim;
}

std::string StreamContainer::Outside(int64_t offset, int64_t count) const {
  if (offset < 0) {
    return "offset " + std::to_string(offset) +
           " is before the start of the file";
  }
  return "unexpected end of file reading " + Bytes(count) + " at offset " +
         std::to_string(offset) + " (the file has " + Bytes(size()) + ")";
}

}  // namespace brimwald
