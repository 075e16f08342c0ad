// Which entry holds each path so far, for telling which entry a later one
// with the same path replaces.
//
// A table of 200,000 entries has as many paths. Kept as strings they would
// cost about 120 bytes each, more than a rip may take in all; so a path is
// kept as its key's 64-bit hash and the index of its holder, and an equal
// hash is confirmed by comparing the keys themselves, the earlier one read
// again from the container. Distinct paths that share a hash are each kept:
// the answer is always exact.

#ifndef BRIMWALD_TABLE_PATH_HOLDERS_H_
#define BRIMWALD_TABLE_PATH_HOLDERS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

namespace brimwald {

class PathHolders {
 public:
  /// The path key (names/windows_path.h) of the earlier entry `index`.
  using KeyOf = std::function<std::string(int32_t index)>;
  using Hash = std::function<uint64_t(const std::string& key)>;

  /// For about `expected` paths. `hash` is for tests that need collisions.
  PathHolders(KeyOf key_of, size_t expected, Hash hash = DefaultHash);

  /// Makes entry `index` the holder of `key`; returns the entry that held
  /// it before, if any.
  std::optional<int32_t> Replace(const std::string& key, int32_t index);

 private:
  static uint64_t DefaultHash(const std::string& key) {
    return std::hash<std::string>()(key);
  }

  KeyOf key_of_;
  Hash hash_;
  std::unordered_multimap<uint64_t, int32_t> holders_;
};

}  // namespace brimwald

#endif  // BRIMWALD_TABLE_PATH_HOLDERS_H_
