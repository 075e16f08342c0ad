// The one-line progress display of `extract` on a terminal: entries and
// bytes done of the total, and the rate, redrawn at most ten times a second.

#ifndef BRIMWALD_CLI_PROGRESS_LINE_H_
#define BRIMWALD_CLI_PROGRESS_LINE_H_

#include <chrono>
#include <ostream>
#include <string>

#include "extract/extract.h"

namespace brimwald {

class ProgressLine {
 public:
  using Clock = std::chrono::steady_clock;

  /// Draws on `out` (a terminal) for the file `name`.
  ProgressLine(std::ostream& out, std::string name);
  /// Clears the line.
  ~ProgressLine();

  /// Redraws when a tenth of a second has passed since the last drawing,
  /// and at the end.
  void Update(const ExtractProgress& progress, Clock::time_point now);

  /// Clears the line, so that a message can be written in its place; the
  /// next Update() draws it again.
  void Clear();

 private:
  std::ostream& out_;
  std::string name_;
  Clock::time_point start_;
  Clock::time_point drawn_at_;
  size_t drawn_width_ = 0;
};

}  // namespace brimwald

#endif  // BRIMWALD_CLI_PROGRESS_LINE_H_
