#include "verify/finding_line.h"

#include "text/text_format.h"

namespace brimwald {
namespace {

using Kind = VerifyFinding::Kind;

// " (entry 3 'sfx\door')", the name left out when it couldn't be read.
std::string EntryOf(const VerifyFinding& finding) {
  std::string text = " (entry " + DecimalText(finding.index);
  if (!finding.name_lost) text += " '" + finding.name + "'";
  return text + ")";
}

std::string Difference(const VerifyFinding& finding) {
  std::string text = "differs at byte " + std::to_string(finding.offset);
  if (finding.size != finding.expected_size) {
    text += "; " + CountText(finding.size, "byte", "bytes") + ", expected " +
            std::to_string(finding.expected_size);
  }
  return text;
}

}  // namespace

std::string FindingLine(const VerifyFinding& finding) {
  const std::string& path = finding.path;
  switch (finding.kind) {
    case Kind::kMissing:
      return path + ": missing" + (finding.why.empty() ? "" : ", ") +
             finding.why + EntryOf(finding);
    case Kind::kDiffers:
      return path + ": " + Difference(finding) + EntryOf(finding);
    case Kind::kUnreadable:
      return finding.why + EntryOf(finding);
    case Kind::kStray:
      return path + ": stray: no entry has this path";
    case Kind::kLink:
      return path + ": a symbolic link, never followed";
    case Kind::kDuplicate:
      return path + ": the same path on Windows as " + finding.other;
    case Kind::kNote:
      return "note: " + finding.why + "; it leaves no file to compare";
  }
  return path;
}

}  // namespace brimwald
