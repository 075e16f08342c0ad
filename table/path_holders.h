// Which entry holds each path so far, for telling which entry a later one
// with the same path replaces.
//
// A table of 200,000 entries has as many paths, and a listing or a rip
// checks each. Kept as strings in a standard map they cost about 120 bytes
// and two cache misses each, which alone took a rip past its memory budget
// and a listing past its time (bench/README.md). So a path is kept as a
// 32-bit hash of its key and the index of its holder, eight bytes in one
// open-addressed table at most half full; an equal hash is confirmed by
// comparing the keys themselves, the earlier one read again from the
// container. Distinct paths that share a hash are each kept, so the answer
// is always exact.

#ifndef BRIMWALD_TABLE_PATH_HOLDERS_H_
#define BRIMWALD_TABLE_PATH_HOLDERS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brimwald {

class PathHolders {
 public:
  /// The path key (names/windows_path.h) of the earlier entry `index`.
  using KeyOf = std::function<std::string(int32_t index)>;
  using Hash = std::function<uint32_t(const std::string& key)>;

  /// For about `expected` paths (the table grows past them); `hash` is for
  /// tests that need collisions.
  explicit PathHolders(KeyOf key_of, size_t expected = 0,
                       Hash hash = DefaultHash);

  /// Makes entry `index` (0 or more) the holder of `key`; returns the
  /// entry that held it before, if any.
  std::optional<int32_t> Replace(const std::string& key, int32_t index);

 private:
  struct Slot {
    uint32_t hash = 0;
    int32_t holder = -1;  // -1: empty
  };

  static uint32_t DefaultHash(const std::string& key);
  void Grow();

  KeyOf key_of_;
  Hash hash_;
  std::vector<Slot> slots_;  // a power of two of them
  size_t used_ = 0;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_PATH_HOLDERS_H_
