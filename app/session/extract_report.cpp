#include "app/session/extract_report.h"

#include <algorithm>
#include <filesystem>

#include "io/utf8_path.h"
#include "text/text_format.h"

namespace brimwald {

// The extraction's error names the container and the entry already.
ExtractFailure FailureOf(const TableEntry& entry, const Error& error) {
  return {entry.Index, error.what()};
}

ExtractReport ReportOf(const ExtractResult& result,
                       std::vector<ExtractFailure> failures) {
  return ReportOf(std::vector<ExtractResult>{result}, std::move(failures));
}

ExtractResult TotalOf(const std::vector<ExtractResult>& results) {
  ExtractResult total;
  for (const ExtractResult& result : results) {
    total.written += result.written;
    total.failed += result.failed;
    total.replaced += result.replaced;
    total.stopped = total.stopped || result.stopped;
  }
  return total;
}

ExtractReport ReportOf(const std::vector<ExtractResult>& results,
                       std::vector<ExtractFailure> failures) {
  const ExtractResult total = TotalOf(results);
  const bool several = results.size() > 1;
  int32_t ended_early = 0;
  for (size_t at = 0; at < results.size(); ++at) {
    const ExtractResult& result = results[at];
    if (!result.table_error) continue;
    ++ended_early;
    // After every entry's failure: the entries after it weren't read.
    failures.push_back(
        {INT32_MAX, result.table_error->what(), static_cast<int32_t>(at)});
  }
  ExtractReport report;
  report.warning = total.failed > 0 || ended_early > 0;
  if (total.stopped) report.summary = "Stopped. ";
  report.summary += WrittenText(total);
  if (several) {
    report.summary += " into " + CountText(static_cast<int64_t>(results.size()),
                                           "EXT_ folder", "EXT_ folders");
    // The EXT_ folders lie side by side, beside their containers.
    std::error_code error;
    std::filesystem::path folder =
        std::filesystem::absolute(PathFromUtf8(results.front().folder), error);
    report.folder = error ? std::string() : Utf8FromPath(folder.parent_path());
  } else if (!results.empty()) {
    report.folder = results.front().folder;
  }
  if (total.failed > 0) {
    report.summary +=
        "; " + CountText(total.failed, "entry", "entries") + " failed";
  }
  if (ended_early > 0 && !several) {
    report.summary += "; the table ends in a record that can't be read";
  } else if (ended_early > 0) {
    report.summary += "; " + CountText(ended_early, "container", "containers") +
                      " ended early";
  }
  report.summary += ".";
  std::stable_sort(failures.begin(), failures.end(),
                   [](const ExtractFailure& a, const ExtractFailure& b) {
                     return a.container != b.container
                                ? a.container < b.container
                                : a.index < b.index;
                   });
  for (const ExtractFailure& failure : failures) {
    if (!report.details.empty()) report.details += '\n';
    report.details += failure.line;
  }
  return report;
}

}  // namespace brimwald
