#include "replace/update_report.h"

#include "text/text_format.h"
#include "verify/finding_line.h"

namespace brimwald {
namespace {

std::string Where(bool appended, int32_t offset) {
  return (appended ? "appended at 0x" : "kept at 0x") + HexText(offset);
}

std::string Summary(const UpdateResult& result, bool dry_run) {
  std::string text = result.folder + ": " +
                     CountText(static_cast<int64_t>(result.replaced.size()),
                               "entry", "entries");
  if (!result.refusals.empty()) {
    return text + " not replaced: " +
           CountText(static_cast<int64_t>(result.refusals.size()), "file",
                     "files") +
           " can't be taken back, so nothing written";
  }
  if (dry_run) return text + " would be replaced (dry run: nothing written)";
  if (result.abandoned) return text + " not replaced: stopped, nothing written";
  return text + " replaced";
}

}  // namespace

std::string ReplacedLine(const ReplacedEntry& done) {
  return "entry " + std::to_string(done.index) + " '" + done.name +
         "': header " + Where(done.header_appended, done.header_offset) +
         ", body " + Where(done.body_appended, done.body_offset);
}

std::string UpdateReport::Details() const {
  std::string text;
  for (const auto* lines : {&replaced, &findings}) {
    for (const std::string& line : *lines) {
      if (!text.empty()) text += '\n';
      text += line;
    }
  }
  return text;
}

UpdateReport UpdateReportOf(const UpdateResult& result, bool dry_run) {
  UpdateReport report;
  // What the check found that the update leaves alone, with what it did:
  // nothing, as each line says.
  for (const VerifyFinding& finding : result.others) {
    std::string line = FindingLine(finding);
    if (finding.kind != VerifyFinding::Kind::kNote) line += "; left alone";
    report.findings.push_back(std::move(line));
  }
  report.findings.insert(report.findings.end(), result.refusals.begin(),
                         result.refusals.end());
  report.findings.insert(report.findings.end(), result.unsettled.begin(),
                         result.unsettled.end());
  if (result.refusals.empty()) {
    for (const ReplacedEntry& entry : result.replaced) {
      report.replaced.push_back(ReplacedLine(entry));
    }
  }
  report.summary = Summary(result, dry_run);
  return report;
}

}  // namespace brimwald
