// What the window shows when an extraction ends, whatever toolkit draws it:
// an icon, a one-line summary, the folder the files went to on a line of its
// own (a path breaks badly where a line wraps), and every entry that failed
// on a line of its own, in entry order. An extraction of several containers
// has one report: the sums, the folder that holds their EXT_ folders, and
// the failures container after container.

#ifndef BRIMWALD_APP_SESSION_EXTRACT_REPORT_H_
#define BRIMWALD_APP_SESSION_EXTRACT_REPORT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "extract/extract.h"
#include "table/table_walk.h"

namespace brimwald {

/// One entry that could not be extracted.
struct ExtractFailure {
  int32_t index = 0;
  /// "entry <index> '<name>': <reason>", naming the entry once.
  std::string line;
  /// Which of the extraction's containers holds the entry, in the order
  /// they were extracted.
  int32_t container = 0;
};

/// The failure of `entry`, which `error` kept from being written: its line
/// names the container and the entry once, then why.
ExtractFailure FailureOf(const TableEntry& entry, const Error& error);

struct ExtractReport {
  /// Whether an entry failed: the box then shows a warning icon instead of
  /// an information icon.
  bool warning = false;
  /// One line: whether the user stopped it, the files written, and how
  /// many entries failed.
  std::string summary;
  /// Where the files went, EXT_<BaseName> (bytes, as the system names it).
  std::string folder;
  /// Every failure's line in entry order, "\n" between them; empty when no
  /// entry failed.
  std::string details;
};

/// The report of an extraction that ended with `result`; `failures` may
/// come in any order.
ExtractReport ReportOf(const ExtractResult& result,
                       std::vector<ExtractFailure> failures);
/// The one report of an extraction of several containers, one result each
/// in the order extracted (a container the extraction couldn't read or
/// make a folder for has the error as its table_error); the summary counts
/// the EXT_ folders and the containers that ended early.
ExtractReport ReportOf(const std::vector<ExtractResult>& results,
                       std::vector<ExtractFailure> failures);

/// The counts of `results` added up, stopped when one stopped; the folder
/// and table error are left empty.
ExtractResult TotalOf(const std::vector<ExtractResult>& results);

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_EXTRACT_REPORT_H_
