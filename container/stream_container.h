// Reading a stream container (".str").
//
// Every number is a signed 32-bit little-endian integer; every offset is an
// absolute byte offset from the start of the file.
//
//   Header                         VFS record (72 bytes, one per file)
//   +0  magic "ZEQSNDSTREAM" (12)  +0   not interpreted (8)
//   +12 not read (12)              +8   BodyOffset     +12 not read
//   +24 VfsStart                   +16  BodySize       +20 not read
//   +28 FileCount                  +24  HeaderOffset   +28 not read
//                                  +32  HeaderSize     +36 not read (12)
//                                  +48  NameOffset     +52 not read (20)
//
// Record i lies at VfsStart + 72 * i. At NameOffset stand the entry's name
// bytes, ended by a NUL; a reader always takes a window of up to 512 bytes.
// Nothing in a container is trusted: every read is checked against the
// file's bounds and fails with an error rather than inventing bytes.

#ifndef BRIMWALD_CONTAINER_STREAM_CONTAINER_H_
#define BRIMWALD_CONTAINER_STREAM_CONTAINER_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/input_file.h"

namespace brimwald {

inline constexpr std::string_view kContainerMagic = "ZEQSNDSTREAM";
inline constexpr int32_t kVfsStartOffset = 24;
inline constexpr int32_t kFileCountOffset = 28;
inline constexpr int32_t kVfsRecordSize = 72;
inline constexpr int32_t kNameWindowSize = 512;

/// The fields of one VFS record that the rip uses.
struct VfsRecord {
  int32_t BodyOffset = 0;
  int32_t BodySize = 0;
  int32_t HeaderOffset = 0;
  int32_t HeaderSize = 0;
  int32_t NameOffset = 0;
};

/// The fields of the 72 record bytes at `bytes`.
VfsRecord DecodeRecord(const char* bytes);

/// Writes the fields of `record` into the 72 record bytes at `bytes`; the
/// bytes between the fields stay as they are.
void EncodeRecord(const VfsRecord& record, char* bytes);

/// Why no name can be read at `offset` in a file of `size` bytes.
std::string NameOffsetProblem(int32_t offset, int64_t size);

/// An open container file. Reads go through a small cache of file blocks, so
/// walking a large table costs few system calls and bounded memory.
class StreamContainer {
 public:
  /// Opens the existing file at `path` for reading; never creates one.
  /// Throws FileError naming the path and the reason when it can't.
  explicit StreamContainer(std::string path);

  /// The first 12 bytes, or all of a shorter file's bytes.
  std::string ReadMagic();

  /// The header integer at `offset`. Throws Error (kContainer) when the four
  /// bytes don't lie wholly inside the file.
  int32_t ReadInteger(int32_t offset);

  /// Reads the record of entry `index` whose first byte is at
  /// `record_offset`, field by field in the order BodyOffset, BodySize,
  /// HeaderOffset, HeaderSize, NameOffset. Throws Error (kContainer) naming
  /// the entry and the field when a field's position leaves the signed
  /// 32-bit range or its bytes lie outside the file.
  VfsRecord ReadRecord(int32_t record_offset, int32_t index);

  /// The name window of entry `index`: the bytes from `offset` up to 512 or
  /// up to the end of the file, whichever comes first, NULs included. Valid
  /// until the next read of this container. Throws Error (kEntry) when
  /// `offset` is before the start or at or past the end of the file.
  std::string_view ReadNameWindow(int32_t offset, int32_t index);

  /// Whether a name window can be read at `offset`.
  bool HoldsNameAt(int32_t offset) const {
    return offset >= 0 && offset < size();
  }

  /// Copies `count` bytes from `offset` into `out` through the block cache.
  /// Throws Error (kFile) when they don't lie wholly inside the file.
  void ReadBytes(int64_t offset, size_t count, char* out);

  /// Whether `count` bytes from `offset` lie wholly inside the file.
  bool Holds(int64_t offset, int64_t count) const {
    return offset >= 0 && count >= 0 && offset <= size() &&
           count <= size() - offset;
  }

  const InputFile& file() const { return file_; }
  const std::string& path() const { return file_.path(); }
  int64_t size() const { return file_.size(); }

 private:
  struct Block {
    int64_t start = -1;  // -1: empty
    uint64_t last_use = 0;
    std::vector<char> bytes;
  };

  /// The `count` bytes from `offset`, which lie inside the file: in the
  /// cached block when they lie within one, otherwise copied into `spill`.
  /// Valid until the next read.
  std::string_view View(int64_t offset, size_t count, char* spill);
  const Block& BlockAt(int64_t offset);
  std::string Outside(int64_t offset, int64_t count) const;

  InputFile file_;
  std::array<Block, 4> blocks_;
  Block* last_block_ = &blocks_[0];  // the one used last, looked at first
  uint64_t use_clock_ = 0;
  std::array<char, kNameWindowSize> window_{};
};

}  // namespace brimwald

#endif  // BRIMWALD_CONTAINER_STREAM_CONTAINER_H_
