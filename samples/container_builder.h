// Builds stream container bytes for tests, the demo and the benchmark: a
// well-formed layout from a list of entries, and byte-level edits on top of
// it for broken and hostile containers.

#ifndef BRIMWALD_SAMPLES_CONTAINER_BUILDER_H_
#define BRIMWALD_SAMPLES_CONTAINER_BUILDER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "container/stream_container.h"

namespace brimwald::samples {

struct TestEntry {
  std::string name;  // written with a NUL after it
  std::string header;
  std::string body;
};

class ContainerBuilder {
 public:
  /// A 32-byte header with the right magic and everything else zero.
  ContainerBuilder();

  /// Lays out header, table (at 32), names, stream headers and bodies, in
  /// that order, and fills the header fields. Unread bytes of the header and
  /// the records hold filler, so a reader that takes the wrong field shows.
  static ContainerBuilder WithEntries(const std::vector<TestEntry>& entries);

  ContainerBuilder& Magic(std::string_view magic);
  ContainerBuilder& VfsStart(int32_t value) { return Int32(24, value); }
  ContainerBuilder& FileCount(int32_t value) { return Int32(28, value); }
  /// Writes `value` little-endian at `offset`, growing the file as needed.
  ContainerBuilder& Int32(size_t offset, int32_t value);
  /// Writes `bytes` at `offset`, growing the file as needed.
  ContainerBuilder& Bytes(size_t offset, std::string_view bytes);
  /// Writes a record's used fields at `offset`, and filler in the rest.
  ContainerBuilder& Record(size_t offset, const VfsRecord& fields);
  /// Cuts the file to `size` bytes.
  ContainerBuilder& Truncate(size_t size);

  const std::string& bytes() const { return bytes_; }
  const std::vector<VfsRecord>& records() const { return records_; }

  /// Writes the bytes to `path`; throws std::runtime_error on failure.
  void WriteTo(const std::string& path) const;

 private:
  std::string bytes_;
  std::vector<VfsRecord> records_;  // as laid out by WithEntries
};

/// Entries like a game's: short names in a few sub-folders, some ending in
/// ".wav", small headers and bodies whose bytes depend on the index.
std::vector<TestEntry> SampleEntries(int count);

}  // namespace brimwald::samples

#endif  // BRIMWALD_SAMPLES_CONTAINER_BUILDER_H_
