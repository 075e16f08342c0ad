#include "cli/verify_report.h"

#include "text/text_format.h"

namespace brimwald {

std::string VerifyReport::Summary(const VerifyResult& result) {
  if (result.folder_missing) {
    return result.folder + ": no such folder, so nothing checked";
  }
  std::string text = result.folder + ": " +
                     CountText(result.checked, "file", "files") + " checked, " +
                     CountText(result.problems, "problem", "problems");
  if (result.notes > 0) {
    text +=
        ", " + CountText(result.notes, "entry", "entries") + " not compared";
  }
  return text;
}

}  // namespace brimwald
