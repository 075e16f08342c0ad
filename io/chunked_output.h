// Text for a stream, gathered and handed over about 64 KiB at a time: a
// listing of many short lines then costs a few hundred writes, not one per
// line, and its buffer is reused all the way.

#ifndef BRIMWALD_IO_CHUNKED_OUTPUT_H_
#define BRIMWALD_IO_CHUNKED_OUTPUT_H_

#include <ostream>
#include <string>

namespace brimwald {

class ChunkedOutput {
 public:
  explicit ChunkedOutput(std::ostream& out);
  /// Writes what is still gathered, also when an error is on its way.
  ~ChunkedOutput() { Flush(); }
  ChunkedOutput(const ChunkedOutput&) = delete;
  ChunkedOutput& operator=(const ChunkedOutput&) = delete;

  /// The text gathered so far: append to it, then call Appended(). The
  /// string stays the same object for this output's life.
  std::string& text() { return text_; }

  /// Writes the text once a chunk has gathered.
  void Appended() {
    if (text_.size() >= kChunk) Flush();
  }

  void Flush();

 private:
  static constexpr size_t kChunk = 64 * 1024;

  std::ostream& out_;
  std::string text_;
};

}  // namespace brimwald

#endif  // BRIMWALD_IO_CHUNKED_OUTPUT_H_
