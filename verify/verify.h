// The check of an extracted tree against its container: whether the
// EXT_<BaseName> folder holds what Extract() would leave there, with the
// same choice of entries and the same rule among them (extract/extract.h):
// for each path, read and compared as Windows compares it, the file of the
// last chosen entry of that path that can be extracted.
//
// Files are found by their key (names/windows_path.h), so any spelling that
// differs only in ASCII letter case is the file, as on Windows: the tree
// that the rip script leaves there passes as well as the one that the
// extraction leaves. Nothing is written, a symbolic link is never followed,
// and files are compared a chunk at a time.

#ifndef BRIMWALD_VERIFY_VERIFY_H_
#define BRIMWALD_VERIFY_VERIFY_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/error.h"
#include "container/selection.h"
#include "io/input_file.h"
#include "table/entry_choice.h"
#include "table/table_walk.h"
#include "verify/extracted_tree.h"

namespace brimwald {

/// One thing the check found.
struct VerifyFinding {
  enum class Kind {
    /// No regular file where an entry's file should be; `why` says what
    /// stands there instead, if anything.
    kMissing,
    /// The file differs from the entry: `offset` is its first differing
    /// byte; `size` and `expected_size` differ when the lengths do.
    kDiffers,
    /// The file can't be read: `why` says so.
    kUnreadable,
    /// A .qvstr file whose path no entry of the container has.
    kStray,
    /// A symbolic link, never followed.
    kLink,
    /// A second spelling of a file's path, which Windows couldn't hold
    /// beside the first: `other` is the first.
    kDuplicate,
    /// A chosen entry that can't be extracted (`why` is its error): it
    /// leaves no file, so none is compared for it. Not a problem.
    kNote,
  };

  Kind kind;
  /// The file or link, inside the output root; "" for a note.
  std::string path;
  /// The entry whose file this is, or the note's; -1 when there is none.
  int32_t index = -1;
  std::string name;  // that entry's name
  bool name_lost = false;
  int64_t offset = 0;
  int64_t size = 0;
  int64_t expected_size = 0;
  std::string why;
  std::string other;
  /// For kDiffers: the file compared, still open, so that whoever acts on
  /// the difference reads that very file; its node in the tree; and
  /// whether the path has other spellings, so that which file is meant
  /// can't be told.
  std::shared_ptr<InputFile> file;
  int32_t node = -1;
  bool ambiguous = false;
};

/// The kind's name in lower case, as machine-readable reports give it:
/// "missing", "differs", "unreadable", "stray", "link", "duplicate", "note".
const char* KindName(VerifyFinding::Kind kind);

/// What a check tells its caller as it goes.
class VerifyListener {
 public:
  virtual ~VerifyListener() = default;
  /// Entries' findings come in entry order, then those that belong to no
  /// entry (strays, links, duplicates) in path order.
  virtual void Found(const VerifyFinding& finding) = 0;
  /// The tree is listed and no file of it read yet.
  virtual void Listed() {}
};

struct VerifyResult {
  /// The folder checked, EXT_<BaseName> inside the output root.
  std::string folder;
  /// Whether there is no such folder: then nothing else is reported, and
  /// it counts as one problem.
  bool folder_missing = false;
  /// The files compared: one for each path of the chosen entries that an
  /// entry can be extracted to.
  int32_t checked = 0;
  /// Every finding but the notes.
  int32_t problems = 0;
  int32_t notes = 0;
  /// The error of a table broken further on: the entries after it can't
  /// be read, so no stray is reported either.
  std::optional<Error> table_error;
};

/// Checks EXT_<BaseName> inside `output_root` ("" for the selection's own
/// folder) against the container that `selection` describes (it must have
/// passed inspection), for the entries that `choice` takes. Throws Error
/// when the container can't be read, or when the folder is a link or not a
/// folder.
VerifyResult Verify(const Selection& selection, const std::string& output_root,
                    VerifyListener& listener,
                    const EntryChoice& choice = EntryChoice());

/// The same check of every entry, over `walk` (from its start) of the
/// container that `selection` describes, keeping the tree it read in
/// `tree`: for those who act on what it finds.
VerifyResult VerifyTree(const Selection& selection,
                        const std::string& output_root,
                        VerifyListener& listener, TableWalk& walk,
                        ExtractedTree& tree);

}  // namespace brimwald

#endif  // BRIMWALD_VERIFY_VERIFY_H_
