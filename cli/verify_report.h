// What `verify` prints: one line for each finding, as it comes, and a
// summary. A line starts with the path it is about, so that the report
// reads like a compiler's:
//
//   EXT_music/music/title.qvstr: missing (entry 0 'music\title')
//   EXT_music/sfx/door.qvstr: differs at byte 75 (entry 3 'sfx\door')
//   EXT_music/sfx/extra.qvstr: stray: no entry has this path
//   EXT_music: 12 files checked, 3 problems

#ifndef BRIMWALD_CLI_VERIFY_REPORT_H_
#define BRIMWALD_CLI_VERIFY_REPORT_H_

#include <ostream>
#include <string>

#include "verify/finding_line.h"
#include "verify/verify.h"

namespace brimwald {

class VerifyReport : public VerifyListener {
 public:
  explicit VerifyReport(std::ostream& out) : out_(out) {}

  void Found(const VerifyFinding& finding) override {
    out_ << FindingLine(finding) << '\n';
  }

  /// "<folder>: 12 files checked, 3 problems", and ", 1 entry not
  /// compared" when some chosen entries can't be extracted; "<folder>: no
  /// such folder, so nothing checked" when it is missing.
  static std::string Summary(const VerifyResult& result);

 private:
  std::ostream& out_;
};

}  // namespace brimwald

#endif  // BRIMWALD_CLI_VERIFY_REPORT_H_
