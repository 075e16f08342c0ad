#include "app/session/extract_report.h"

#include <algorithm>

#include "text/text_format.h"

namespace brimwald {

// The extraction's error names the container and the entry already.
ExtractFailure FailureOf(const TableEntry& entry, const Error& error) {
  return {entry.Index, error.what()};
}

ExtractReport ReportOf(const ExtractResult& result,
                       std::vector<ExtractFailure> failures) {
  ExtractReport report;
  report.warning = result.failed > 0 || result.table_error.has_value();
  if (result.stopped) report.summary = "Stopped. ";
  report.summary += WrittenText(result);
  report.folder = result.folder;
  if (result.failed > 0) {
    report.summary +=
        "; " + CountText(result.failed, "entry", "entries") + " failed";
  }
  if (result.table_error) {
    report.summary += "; the table ends in a record that can't be read";
    // After every entry's failure: the entries after it weren't read.
    failures.push_back({INT32_MAX, result.table_error->what()});
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
