#include "cli/progress_line.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace brimwald {
namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
// One column, though three bytes.
constexpr std::string_view kCut = "\u2026";
// The columns a shortened name keeps, its "…" included, before the counts
// give way.
constexpr size_t kLeastName = 12;

std::string Megabytes(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1e6);
  return text;
}

// The counts after the name, the richest first: entries, bytes and rate;
// entries and bytes; entries; the bare entry numbers.
std::vector<std::string> CountForms(const ExtractProgress& progress,
                                    double seconds) {
  std::string numbers = ": " + std::to_string(progress.entries_done) + "/" +
                        std::to_string(progress.entries_total);
  std::string entries =
      numbers + (progress.entries_total == 1 ? " entry" : " entries");
  std::string bytes = entries + ", " + Megabytes(progress.bytes_done) + "/" +
                      Megabytes(progress.bytes_total) + " MB";
  std::vector<std::string> forms;
  if (seconds > 0) {
    forms.push_back(bytes + ", " +
                    Megabytes(static_cast<int64_t>(
                        static_cast<double>(progress.bytes_done) / seconds)) +
                    " MB/s");
  }
  forms.insert(forms.end(), {bytes, entries, numbers});
  return forms;
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

// `name` in at most `room` columns: whole, or "…" and its end.
std::string Shortened(std::string_view name, size_t room) {
  if (name.size() <= room) return std::string(name);
  if (room == 0) return "";
  return std::string(kCut) + std::string(Tail(name, room - 1));
}

}  // namespace

size_t ProgressLine::Columns(const std::string& text) {
  return text.starts_with(kCut) ? text.size() - (kCut.size() - 1) : text.size();
}

std::string ProgressLine::Text(const std::string& name,
                               const ExtractProgress& progress, double seconds,
                               int columns) {
  const size_t width = static_cast<size_t>(std::max(columns, 1) - 1);
  const size_t least_name = std::min(name.size(), kLeastName);
  for (const std::string& counts : CountForms(progress, seconds)) {
    if (least_name + counts.size() <= width) {
      return Shortened(name, width - counts.size()) + counts;
    }
  }
  // Too narrow for a whole number: the name alone.
  return Shortened(name, width);
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
  size_t width = Columns(text);
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
