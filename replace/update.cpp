#include "replace/update.h"

namespace brimwald {
namespace {

// The files that differ from their entries, and everything else found.
class Changes : public VerifyListener {
 public:
  void Found(const VerifyFinding& finding) override {
    if (finding.kind == VerifyFinding::Kind::kDiffers) {
      replacements.push_back({finding.index, finding.path});
    } else {
      others.push_back(finding);
    }
  }

  std::vector<Replacement> replacements;
  std::vector<VerifyFinding> others;
};

}  // namespace

UpdateResult Update(const Selection& selection, const std::string& output_root,
                    bool dry_run) {
  Changes changes;
  UpdateResult result;
  result.folder = Verify(selection, output_root, changes).folder;
  result.others = std::move(changes.others);
  if (changes.replacements.empty()) return result;
  result.replaced = dry_run
                        ? PlanReplacements(selection, changes.replacements)
                        : ReplaceEntries(selection, changes.replacements, "");
  // Replaced entries come back in index order, as the changes came.
  for (const Replacement& replacement : changes.replacements) {
    result.files.push_back(replacement.qvstr_path);
  }
  return result;
}

}  // namespace brimwald
