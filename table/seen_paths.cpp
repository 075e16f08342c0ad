#include "table/seen_paths.h"

namespace brimwald {
namespace {

// Twice as many slots as paths, as a power of two.
size_t SlotCount(size_t capacity) {
  size_t slots = 1024;
  while (slots < 2 * capacity) slots *= 2;
  return slots;
}

}  // namespace

SeenPaths::SeenPaths(size_t capacity)
    : slot_count_(SlotCount(capacity)),
      memory_(slot_count_ * sizeof(uint64_t)),
      slots_(static_cast<uint64_t*>(memory_.data())) {}

int32_t SeenPaths::EarlierOrAdd(uint64_t hash, int32_t index) {
  uint64_t fingerprint = hash >> 32;
  size_t mask = slot_count_ - 1;
  for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
    uint64_t slot = slots_[at];
    if (slot == 0) {
      if (2 * (used_ + 1) > slot_count_) return -1;
      slots_[at] = fingerprint << 32 | (static_cast<uint32_t>(index) + 1u);
      ++used_;
      return -1;
    }
    if (slot >> 32 == fingerprint) {
      return static_cast<int32_t>(static_cast<uint32_t>(slot) - 1u);
    }
  }
}

}  // namespace brimwald
