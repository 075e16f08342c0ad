// What the window shows when an extraction ends, whatever toolkit draws it:
// an icon, a one-line summary, the folder the files went to on a line of its
// own (a path breaks badly where a line wraps), and every entry that failed
// on a line of its own, in entry order.

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

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_EXTRACT_REPORT_H_
