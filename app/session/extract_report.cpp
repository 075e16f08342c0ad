#include "app/session/extract_report.h"

#include <algorithm>

#include "text/script_encoding.h"

namespace brimwald {
namespace {

// The core's message for a broken entry names the container and the entry
// before its reason ("cannot read '<path>': entry <index>: <why>"); the
// report names the container once, above all failures, and the entry at
// the start of the line.
std::string_view ReasonOf(const TableEntry& entry, std::string_view message) {
  constexpr std::string_view kRead = "cannot read '";
  const std::string named = "': entry " + std::to_string(entry.Index) + ": ";
  if (!message.starts_with(kRead)) return message;
  size_t at = message.find(named, kRead.size());
  if (at == std::string_view::npos) return message;
  return message.substr(at + named.size());
}

}  // namespace

ExtractFailure FailureOf(const TableEntry& entry, const Error& error) {
  std::string line = "entry " + std::to_string(entry.Index) + " '" +
                     DecodeFromScript(entry.Name) + "': ";
  line += ReasonOf(entry, error.what());
  return {entry.Index, std::move(line)};
}

std::string Counted(int64_t count, std::string_view singular,
                    std::string_view plural) {
  return std::to_string(count) + " " +
         std::string(count == 1 ? singular : plural);
}

ExtractReport ReportOf(const ExtractResult& result,
                       std::vector<ExtractFailure> failures) {
  ExtractReport report;
  report.warning = result.failed > 0;
  if (result.stopped) report.summary = "Stopped. ";
  report.summary +=
      Counted(result.written, "file", "files") + " written to " + result.folder;
  if (report.warning) {
    report.summary +=
        "; " + Counted(result.failed, "entry", "entries") + " failed";
  }
  report.summary += ".";
  std::stable_sort(failures.begin(), failures.end(),
                   [](const ExtractFailure& a, const ExtractFailure& b) {
                     return a.index < b.index;
                   });
  for (const ExtractFailure& failure : failures) {
    if (!report.details.empty()) report.details += '\n';
    report.details += failure.line;
  }
  return report;
}

}  // namespace brimwald
