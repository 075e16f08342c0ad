// The one-line progress display of `extract` on a terminal: entries and
// bytes done of the total, and the rate, redrawn at most ten times a second.
//
// The line never reaches the terminal's last column, so that it never wraps:
// a carriage return then always brings the cursor back to its start, and
// clearing it leaves nothing behind.

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

  /// Draws on `out`, a terminal `columns` wide, for the file `name`.
  ProgressLine(std::ostream& out, std::string name, int columns);
  /// Clears the line.
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  /// Redraws when a tenth of a second has passed since the last drawing,
  /// and at the end.
  void Update(const ExtractProgress& progress, Clock::time_point now);

  /// Clears the line and leaves the cursor at its start, so that a message
  /// can be written in its place; the next Update() draws it again.
  void Clear();

  /// The text drawn for `progress` after `seconds` (none yet: 0), at most
  /// `columns` - 1 columns, its name first: a name too long for it loses its
  /// start to "…", down to a few columns; then the rate, the bytes and the
  /// word "entries" give way, so that a number is never cut; the narrowest
  /// terminal gets the name's end alone.
  static std::string Text(const std::string& name,
                          const ExtractProgress& progress, double seconds,
                          int columns);

  /// The columns that Text() takes on a terminal, a byte of the name
  /// counting as one.
  static size_t Columns(const std::string& text);

 private:
  std::ostream& out_;
  std::string name_;
  int columns_;
  Clock::time_point start_;
  Clock::time_point drawn_at_;
  size_t drawn_width_ = 0;
};

}  // namespace brimwald

#endif  // BRIMWALD_CLI_PROGRESS_LINE_H_
