#include "replace/update.h"

#include <algorithm>
#include <optional>

#include "base/error.h"
#include "container/stream_container.h"
#include "io/atomic_file.h"
#include "io/open_file_limit.h"
#include "table/table_walk.h"

namespace brimwald {
namespace {

using Kind = VerifyFinding::Kind;

// The files that differ from their entries, and everything else found.
class Changes : public VerifyListener {
 public:
  explicit Changes(UpdateObserver* observer) : observer_(observer) {}

  void Found(const VerifyFinding& finding) override {
    if (finding.kind != Kind::kDiffers) {
      others.push_back(finding);
    } else if (finding.ambiguous) {
      refusals.push_back("'" + finding.path +
                         "': not taken back: the same path on Windows as "
                         "another file below the folder, so which one is "
                         "meant can't be told; keep one of them");
    } else {
      differing.push_back(finding);
    }
  }

  void Listed() override {
    if (observer_ != nullptr) observer_->Listed();
  }

  std::vector<VerifyFinding> differing;  // in entry order
  std::vector<VerifyFinding> others;
  std::vector<std::string> refusals;

 private:
  UpdateObserver* observer_;
};

// Gives the file taken back the record the container now holds, so that
// it is what a fresh extraction writes; says why not when it can't.
std::string Settle(ExtractedTree& tree, VerifyFinding& change,
                   const ReplacedEntry& done) {
  const TreeNode& node = tree.nodes()[static_cast<size_t>(change.node)];
  std::shared_ptr<InputFile> file = std::move(change.file);
  try {
    if (!file->StillAtPath()) {
      throw FileError("cannot update", file->path(),
                      "it changed after it was read");
    }
    AtomicFile settled(tree.FolderOf(node), std::string(tree.Name(node)));
    settled.Write(done.record);
    settled.CopyFrom(*file, kVfsRecordSize, file->size() - kVfsRecordSize);
    // Windows replaces no file that is open.
    file.reset();
    settled.Commit();
    return "";
  } catch (const Error& error) {
    return std::string(error.what()) +
           "; its record still has the old offsets (extract again to "
           "refresh it)";
  }
}

}  // namespace

bool UpdateResult::Complete() const {
  return refusals.empty() && unsettled.empty() && !abandoned &&
         std::all_of(others.begin(), others.end(), [](const auto& finding) {
           return finding.kind == Kind::kNote;
         });
}

UpdateResult Update(const Selection& selection, const UpdateSettings& settings,
                    UpdateObserver* observer) {
  // Every file that differs stays open from its comparison to the write.
  AllowEveryOpenFile();
  std::optional<TableWalk> walk(std::in_place, selection);
  ExtractedTree tree;
  Changes changes(observer);
  VerifyResult checked =
      VerifyTree(selection, settings.output_root, changes, *walk, tree);
  UpdateResult result;
  result.folder = checked.folder;
  if (checked.folder_missing) {
    throw FileError("cannot update", selection.FileName,
                    "there is no folder '" + checked.folder +
                        "' to take back (extract it first)");
  }
  result.others = std::move(changes.others);
  result.refusals = std::move(changes.refusals);
  // The entries after a broken record are unknown: a new table would hide
  // what they hold.
  if (checked.table_error)
    result.refusals.push_back(checked.table_error->what());
  if (changes.differing.empty()) return result;

  std::vector<Replacement> replacements;
  for (const VerifyFinding& change : changes.differing) {
    replacements.push_back({change.index, change.path, change.file});
    result.files.push_back(change.path);
  }
  ReplaceSettings options;
  options.dry_run = settings.dry_run || !result.refusals.empty();
  options.backup = settings.backup;
  options.before_rename = [&] {
    result.abandoned = observer != nullptr && !observer->BeforeRename();
    return !result.abandoned;
  };
  options.backed_up = [&] {
    if (observer != nullptr) observer->BackedUp();
  };
  ReplaceResult replaced = Replace(walk, replacements, options);
  replacements.clear();  // the files' handles go with the changes below
  result.written = replaced.written;
  for (ReplacedEntry& entry : replaced.entries) {
    if (!entry.refusal.empty()) result.refusals.push_back(entry.refusal);
  }
  result.replaced = std::move(replaced.entries);
  if (!result.written) return result;
  for (size_t i = 0; i < changes.differing.size(); ++i) {
    std::string why = Settle(tree, changes.differing[i], result.replaced[i]);
    if (!why.empty()) result.unsettled.push_back(why);
  }
  return result;
}

}  // namespace brimwald
