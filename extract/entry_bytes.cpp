#include "extract/entry_bytes.h"

#include <algorithm>

namespace brimwald {
namespace {

// Pieces up to this size come through the container's block cache, where
// a record and the small pieces near it are read once for many entries;
// larger ones straight from the file into the buffer.
constexpr int64_t kSmallPiece = 64 * 1024;

}  // namespace

bool ReadEntryBytes(StreamContainer& container, const PieceRanges& ranges,
                    const std::array<int64_t, 3>& lengths, std::string& buffer,
                    const std::function<bool(std::string_view)>& take) {
  std::array<Piece, 3> pieces = Pieces(ranges);
  for (size_t i = 0; i < pieces.size(); ++i) {
    for (int64_t done = 0; done < lengths[i];) {
      size_t count = static_cast<size_t>(
          std::min<int64_t>(lengths[i] - done, kEntryChunk));
      buffer.resize(count);
      int64_t offset = int64_t{pieces[i].First} + done;
      if (lengths[i] <= kSmallPiece) {
        container.ReadBytes(offset, count, buffer.data());
      } else {
        container.file().ReadAt(offset, buffer.data(), count);
      }
      if (!take(buffer)) return false;
      done += static_cast<int64_t>(count);
    }
  }
  return true;
}

}  // namespace brimwald
