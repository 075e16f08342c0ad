#include "cli/progress_line.h"

#include <cstdio>

namespace brimwald {
namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

std::string Megabytes(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1e6);
  return text;
}

// The line for `progress` after `seconds`.
std::string Text(const std::string& name, const ExtractProgress& progress,
                 double seconds) {
  std::string text = name + ": " + std::to_string(progress.entries_done) + "/" +
                     std::to_string(progress.entries_total) + " entries, " +
                     Megabytes(progress.bytes_done) + "/" +
                     Megabytes(progress.bytes_total) + " MB";
  if (seconds > 0) {
    text += ", " +
            Megabytes(static_cast<int64_t>(
                static_cast<double>(progress.bytes_done) / seconds)) +
            " MB/s";
  }
  return text;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, std::string name)
    : out_(out),
      name_(std::move(name)),
      start_(Clock::now()),
      drawn_at_(start_ - kRedrawEvery) {}

ProgressLine::~ProgressLine() { Clear(); }

void ProgressLine::Update(const ExtractProgress& progress,
                          Clock::time_point now) {
  bool done = progress.entries_done == progress.entries_total;
  if (!done && now - drawn_at_ < kRedrawEvery) return;
  drawn_at_ = now;
  std::chrono::duration<double> seconds = now - start_;
  std::string text = Text(name_, progress, seconds.count());
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
