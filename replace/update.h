// Taking back an edited EXT_ tree: every file that differs from what the
// extraction would write there replaces the entry that wins its path (the
// last entry of the path), as ReplaceEntries() does. The tree is found and
// read as verify/verify.h reads it.

#ifndef BRIMWALD_REPLACE_UPDATE_H_
#define BRIMWALD_REPLACE_UPDATE_H_

#include <string>
#include <vector>

#include "container/selection.h"
#include "replace/replace.h"
#include "verify/verify.h"

namespace brimwald {

struct UpdateResult {
  /// The folder read, EXT_<BaseName> inside the output root.
  std::string folder;
  /// The entries replaced (or, on a dry run, that would be), with the file
  /// each took.
  std::vector<ReplacedEntry> replaced;
  std::vector<std::string> files;
  /// What else the check found: files no entry leaves (left alone),
  /// missing or unreadable files, links, notes.
  std::vector<VerifyFinding> others;
};

/// Updates the container of `selection` from EXT_<BaseName> inside
/// `output_root` ("" for the container's folder), in one write that
/// replaces the container atomically; with `dry_run`, writes nothing.
/// Throws Error as Verify() and ReplaceEntries() do: a changed file that
/// isn't a sound .qvstr stops the update, which then writes nothing.
UpdateResult Update(const Selection& selection, const std::string& output_root,
                    bool dry_run);

}  // namespace brimwald

#endif  // BRIMWALD_REPLACE_UPDATE_H_
