#include "table/path_holders.h"

#include <utility>

namespace brimwald {

namespace {

// Twice the expected paths, so that the table stays at most half full; at
// least a few, and at most 8 MiB of slots up front, whatever a table's
// header claims.
size_t FirstSize(size_t expected) {
  size_t size = 1024;
  while (size < 2 * expected && size < (size_t{1} << 20)) size *= 2;
  return size;
}

}  // namespace

PathHolders::PathHolders(KeyOf key_of, size_t expected, Hash hash)
    : key_of_(std::move(key_of)),
      hash_(std::move(hash)),
      slots_(FirstSize(expected)) {}

uint32_t PathHolders::DefaultHash(const std::string& key) {
  uint64_t hash = std::hash<std::string>()(key);
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

std::optional<int32_t> PathHolders::Replace(const std::string& key,
                                            int32_t index) {
  const uint32_t hash = hash_(key);
  const size_t mask = slots_.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (slot.holder < 0) {
      slot = {hash, index};
      if (++used_ * 2 > slots_.size()) Grow();
      return std::nullopt;
    }
    if (slot.hash == hash && key_of_(slot.holder) == key) {
      return std::exchange(slot.holder, index);
    }
  }
}

// Twice the slots, each path placed again by its hash.
void PathHolders::Grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.holder < 0) continue;
    size_t at = slot.hash & mask;
    while (slots_[at].holder >= 0) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace brimwald
