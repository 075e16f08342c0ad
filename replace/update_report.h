// What putting streams back tells, in one wording for the command line and
// the windows: what is (or would be) replaced, every finding that keeps an
// update from being complete, and a summary.
//
//   EXT_music/sfx/extra.qvstr: stray: no entry has this path; left alone
//   entry 3 'sfx\door': header kept at 0x4C0, body appended at 0x2000
//   EXT_music: 1 entry replaced

#ifndef BRIMWALD_REPLACE_UPDATE_REPORT_H_
#define BRIMWALD_REPLACE_UPDATE_REPORT_H_

#include <string>
#include <vector>

#include "replace/replace.h"
#include "replace/update.h"

namespace brimwald {

struct UpdateReport {
  /// Every finding the update left alone, every refusal and every file
  /// whose record could not be brought up to date, one line each, as
  /// standard error takes them; none when the update is complete.
  std::vector<std::string> findings;
  /// One line per entry replaced, or that would be; none when refused.
  std::vector<std::string> replaced;
  /// "EXT_music: 2 entries replaced", "... would be replaced (dry run:
  /// nothing written)", "... not replaced: ..." saying why.
  std::string summary;

  /// The replaced lines, then the findings, "\n" between them: what a
  /// window shows under the summary.
  std::string Details() const;
};

/// The report of an update that ended with `result`, on a dry run or not.
UpdateReport UpdateReportOf(const UpdateResult& result, bool dry_run);

/// "entry 3 'sfx\door': header kept at 0x4C0, body appended at 0x2000".
std::string ReplacedLine(const ReplacedEntry& done);

}  // namespace brimwald

#endif  // BRIMWALD_REPLACE_UPDATE_REPORT_H_
