#include "io/chunked_output.h"

namespace brimwald {

ChunkedOutput::ChunkedOutput(std::ostream& out) : out_(out) {
  // A chunk and the longest line that can end it.
  text_.reserve(2 * kChunk);
}

void ChunkedOutput::Flush() {
  out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
  text_.clear();
}

}  // namespace brimwald
