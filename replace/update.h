// Taking back an edited EXT_ tree: every file that differs from what the
// extraction would write there replaces the entry that wins its path (the
// last entry of the path), as Replace() does. The tree is read as
// verify/verify.h reads it, each file through the very handle it was
// compared through, and the container through one open file.
//
// Nothing found goes unsaid: every finding of the check comes back, and the
// update is complete only when there is none left but the files taken back.
// It is all or nothing: when any differing file can't be taken back (its
// sizes don't fit its length, its record would overwrite another entry's
// bytes, its path has two spellings), nothing is written. After a written
// update, each file taken back gets the record the container now holds
// (its new HeaderOffset and BodyOffset, the entry's NameOffset), so the
// tree is what a fresh extraction would write, and updating it again
// changes nothing.

#ifndef BRIMWALD_REPLACE_UPDATE_H_
#define BRIMWALD_REPLACE_UPDATE_H_

#include <string>
#include <vector>

#include "container/selection.h"
#include "replace/replace.h"
#include "verify/verify.h"

namespace brimwald {

/// The steps of an update that its caller may act between.
class UpdateObserver {
 public:
  virtual ~UpdateObserver() = default;
  /// The tree is listed and no file of it read yet.
  virtual void Listed() {}
  /// The new container is complete and about to take the old one's name;
  /// returning false abandons it, and nothing is written.
  virtual bool BeforeRename() { return true; }
  /// The backup is in place; the container is about to take its new bytes.
  virtual void BackedUp() {}
};

struct UpdateSettings {
  /// Where EXT_<BaseName> lies; "" for the container's folder.
  std::string output_root = {};
  /// Checks and plans only: nothing is written.
  bool dry_run = false;
  /// Keeps the old container as its name followed by "~" (see
  /// ReplaceSettings::backup).
  bool backup = false;
};

struct UpdateResult {
  /// The folder read, EXT_<BaseName> inside the output root.
  std::string folder;
  /// The entries replaced (or, on a dry run or when refused, that would
  /// be), with the file each took.
  std::vector<ReplacedEntry> replaced;
  std::vector<std::string> files;
  /// What else the check found, left alone: files no entry leaves, missing
  /// or unreadable files, links, second spellings, notes.
  std::vector<VerifyFinding> others;
  /// Why differing files can't be taken back, each naming its file: when
  /// there is any, nothing is written.
  std::vector<std::string> refusals;
  /// Files taken back whose record could not be brought up to date after.
  std::vector<std::string> unsettled;
  /// Whether the container was written.
  bool written = false;
  /// Whether the observer abandoned it before the rename.
  bool abandoned = false;

  /// Whether everything the check found was taken back: nothing refused,
  /// nothing left alone but notes.
  bool Complete() const;
};

/// Updates the container of `selection` from EXT_<BaseName> inside
/// `settings.output_root`, in one write that replaces the container
/// atomically; on a dry run, writes nothing. Throws Error (kFile) when
/// there is no such folder, or as Verify() and Replace() do (a container
/// that changed while it was read included).
UpdateResult Update(const Selection& selection, const UpdateSettings& settings,
                    UpdateObserver* observer = nullptr);

}  // namespace brimwald

#endif  // BRIMWALD_REPLACE_UPDATE_H_
