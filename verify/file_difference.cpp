#include "verify/file_difference.h"

#include <algorithm>
#include <cstring>

#include "extract/entry_bytes.h"

namespace brimwald {
namespace {

// How many of the first `count` bytes of `a` and `b` are equal.
size_t SamePrefix(std::string_view a, const char* b, size_t count) {
  if (std::memcmp(a.data(), b, count) == 0) return count;
  size_t same = 0;
  while (same < count && a[same] == b[same]) ++same;
  return same;
}

}  // namespace

std::optional<FileDifference> EntryFileComparison::Compare(
    StreamContainer& container, const PieceRanges& ranges,
    const std::array<int64_t, 3>& lengths, const InputFile& file) {
  const int64_t expected = lengths[0] + lengths[1] + lengths[2];
  std::optional<int64_t> differs;
  int64_t offset = 0;
  actual_.resize(kEntryChunk);
  ReadEntryBytes(
      container, ranges, lengths, expected_, [&](std::string_view bytes) {
        size_t count = static_cast<size_t>(std::min<int64_t>(
            static_cast<int64_t>(bytes.size()), file.size() - offset));
        file.ReadAt(offset, actual_.data(), count);
        size_t same = SamePrefix(bytes, actual_.data(), count);
        if (same < bytes.size()) {
          differs = offset + static_cast<int64_t>(same);
          return false;
        }
        offset += static_cast<int64_t>(count);
        return true;
      });
  if (!differs && file.size() > expected) differs = expected;
  if (!differs) return std::nullopt;
  return FileDifference{*differs, file.size(), expected};
}

}  // namespace brimwald
