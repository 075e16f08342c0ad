#include "samples/container_builder.h"

#include <fstream>
#include <stdexcept>

namespace brimwald::samples {
namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kRecordSize = 72;
constexpr char kFiller = '\xEE';

int32_t ToInt32(size_t value) {
  if (value > INT32_MAX) throw std::length_error("test container too large");
  return static_cast<int32_t>(value);
}

}  // namespace

ContainerBuilder::ContainerBuilder() : bytes_(kHeaderSize, '\0') {
  Magic("ZEQSNDSTREAM");
  Bytes(12, std::string(12, kFiller));
}

ContainerBuilder ContainerBuilder::WithEntries(
    const std::vector<TestEntry>& entries) {
  ContainerBuilder builder;
  size_t at = kHeaderSize + kRecordSize * entries.size();
  std::vector<VfsRecord> records(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    records[i].NameOffset = ToInt32(at);
    builder.Bytes(at, entries[i].name + '\0');
    at += entries[i].name.size() + 1;
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    records[i].HeaderOffset = ToInt32(at);
    records[i].HeaderSize = ToInt32(entries[i].header.size());
    builder.Bytes(at, entries[i].header);
    at += entries[i].header.size();
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    records[i].BodyOffset = ToInt32(at);
    records[i].BodySize = ToInt32(entries[i].body.size());
    builder.Bytes(at, entries[i].body);
    at += entries[i].body.size();
  }
  builder.VfsStart(ToInt32(kHeaderSize));
  builder.FileCount(ToInt32(entries.size()));
  for (size_t i = 0; i < records.size(); ++i) {
    builder.Record(kHeaderSize + kRecordSize * i, records[i]);
  }
  builder.records_ = std::move(records);
  return builder;
}

ContainerBuilder& ContainerBuilder::Magic(std::string_view magic) {
  return Bytes(0, magic);
}

ContainerBuilder& ContainerBuilder::Int32(size_t offset, int32_t value) {
  auto bits = static_cast<uint32_t>(value);
  std::string le(4, '\0');
  for (size_t i = 0; i < 4; ++i) {
    le[i] = static_cast<char>((bits >> (8 * i)) & 0xFFu);
  }
  return Bytes(offset, le);
}

ContainerBuilder& ContainerBuilder::Bytes(size_t offset,
                                          std::string_view bytes) {
  if (bytes_.size() < offset + bytes.size()) {
    bytes_.resize(offset + bytes.size(), '\0');
  }
  bytes_.replace(offset, bytes.size(), bytes);
  return *this;
}

ContainerBuilder& ContainerBuilder::Record(size_t offset,
                                           const VfsRecord& fields) {
  Bytes(offset, std::string(kRecordSize, kFiller));
  Int32(offset + 8, fields.BodyOffset);
  Int32(offset + 16, fields.BodySize);
  Int32(offset + 24, fields.HeaderOffset);
  Int32(offset + 32, fields.HeaderSize);
  return Int32(offset + 48, fields.NameOffset);
}

ContainerBuilder& ContainerBuilder::Truncate(size_t size) {
  bytes_.resize(size);
  return *this;
}

void ContainerBuilder::WriteTo(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write test container " + path);
}

std::vector<TestEntry> SampleEntries(int count) {
  static const char* const kFolders[] = {"sfx/", "music/", "voice/en/", ""};
  std::vector<TestEntry> entries;
  entries.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    TestEntry entry;
    entry.name = kFolders[i % 4] + std::string("track") + std::to_string(i) +
                 (i % 3 == 0 ? ".wav" : "");
    entry.header = std::string(static_cast<size_t>(8 + i % 9), 'H');
    entry.header[0] = static_cast<char>(i & 0xFF);
    entry.body = std::string(static_cast<size_t>(16 + i % 23), 'B');
    entry.body[0] = static_cast<char>((i >> 8) & 0xFF);
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace brimwald::samples
