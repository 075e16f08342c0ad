#include "cli/progress_line.h"

#include <algorithm>
#include <cstdio>

#include "text/text_format.h"

namespace brimwald {
namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr std::string_view kCut = "...";

std::string Megabytes(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1e6);
  return text;
}

std::string Counts(const ExtractProgress& progress, double seconds) {
  std::string text = ": " + std::to_string(progress.entries_done) + "/" +
                     CountText(progress.entries_total, "entry", "entries") +
                     ", " + Megabytes(progress.bytes_done) + "/" +
                     Megabytes(progress.bytes_total) + " MB";
  if (seconds > 0) {
    text += ", " +
            Megabytes(static_cast<int64_t>(
                static_cast<double>(progress.bytes_done) / seconds)) +
            " MB/s";
  }
  return text;
}

// The last bytes of `name`, at most `room`, starting on a character: a
// UTF-8 continuation byte is never the first. A byte counts as one column,
// which is never fewer than the columns a UTF-8 character takes.
std::string_view Tail(std::string_view name, size_t room) {
  size_t start = name.size() - std::min(room, name.size());
  while (start < name.size() &&
         (static_cast<unsigned char>(name[start]) & 0xC0) == 0x80) {
    ++start;
  }
  return name.substr(start);
}

}  // namespace

std::string ProgressLine::Text(const std::string& name,
                               const ExtractProgress& progress, double seconds,
                               int columns) {
  const size_t width = static_cast<size_t>(std::max(columns, 1) - 1);
  std::string counts = Counts(progress, seconds);
  if (name.size() + counts.size() <= width) return name + counts;
  std::string text;
  if (counts.size() + kCut.size() < width) {
    text = kCut;
    text += Tail(name, width - counts.size() - kCut.size());
  }
  text += counts;
  // A terminal too narrow even for the counts gets their start.
  if (text.size() > width) text.resize(width);
  return text;
}

ProgressLine::ProgressLine(std::ostream& out, std::string name, int columns)
    : out_(out),
      name_(std::move(name)),
      columns_(columns),
      start_(Clock::now()),
      drawn_at_(start_ - kRedrawEvery) {}

ProgressLine::~ProgressLine() { Clear(); }

void ProgressLine::Update(const ExtractProgress& progress,
                          Clock::time_point now) {
  bool done = progress.entries_done == progress.entries_total;
  if (!done && now - drawn_at_ < kRedrawEvery) return;
  drawn_at_ = now;
  std::chrono::duration<double> seconds = now - start_;
  std::string text = Text(name_, progress, seconds.count(), columns_);
  size_t width = text.size();
  if (width < drawn_width_) text.append(drawn_width_ - width, ' ');
  out_ << '\r' << text << std::flush;
  drawn_width_ = width;
}

void ProgressLine::Clear() {
  if (drawn_width_ == 0) return;
  out_ << '\r' << std::string(drawn_width_, ' ') << '\r' << std::flush;
  drawn_width_ = 0;
}

}  // namespace brimwald
