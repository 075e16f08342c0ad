#include "table/path_holders.h"

#include <utility>

namespace brimwald {

PathHolders::PathHolders(KeyOf key_of, size_t expected, Hash hash)
    : key_of_(std::move(key_of)), hash_(std::move(hash)) {
  holders_.reserve(expected);
}

std::optional<int32_t> PathHolders::Replace(const std::string& key,
                                            int32_t index) {
  uint64_t hash = hash_(key);
  auto [first, last] = holders_.equal_range(hash);
  for (auto holder = first; holder != last; ++holder) {
    if (key_of_(holder->second) == key) {
      return std::exchange(holder->second, index);
    }
  }
  holders_.emplace(hash, index);
  return std::nullopt;
}

}  // namespace brimwald
