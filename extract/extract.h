// Extraction: what running a container's rip script on Windows leaves,
// written directly. For every entry, EXT_<BaseName>\<entry>.qvstr holds the
// entry's 72-byte record, then its stream header, then its stream body.
//
// The tree is the one the script leaves on Windows:
// - paths are read as Windows reads them (names/windows_path.h) and compare
//   with ASCII letter case ignored;
// - the first spelling of a folder or file names it, including one that
//   was there before;
// - the last entry of a path gives its content; an entry that fails leaves
//   an earlier file of its path as it was.
// Entries are written in table order, so failures come in entry order and
// a stopped extraction keeps a prefix of the table.
//
// Each file appears whole or not at all. Nothing is written outside the
// output folder: a symbolic link below it is never followed, and folders
// are looked up afresh for every entry. The container is never replaced.

#ifndef BRIMWALD_EXTRACT_EXTRACT_H_
#define BRIMWALD_EXTRACT_EXTRACT_H_

#include <cstdint>
#include <optional>
#include <string>

#include "base/error.h"
#include "container/selection.h"
#include "table/entry_choice.h"
#include "table/table_walk.h"

namespace brimwald {

struct ExtractProgress {
  int32_t entries_done = 0;
  int32_t entries_total = 0;
  int64_t bytes_done = 0;
  int64_t bytes_total = 0;
};

/// What an extraction tells its caller while it runs.
class ExtractListener {
 public:
  virtual ~ExtractListener() = default;
  /// `entry` could not be extracted and left nothing; the extraction goes
  /// on with the next.
  virtual void EntryFailed(const TableEntry& entry, const Error& error) = 0;
  /// Called after every entry; returning false stops the extraction
  /// there (complete files stay).
  virtual bool Progress(const ExtractProgress& progress) = 0;
  /// Whether Progress() needs the totals, which cost one more walk of the
  /// table before the extraction starts.
  virtual bool WantsTotals() const { return false; }
};

struct ExtractResult {
  /// The entries written, each into its file.
  int32_t written = 0;
  int32_t failed = 0;
  bool stopped = false;  // by the listener
  /// The output folder, EXT_<BaseName> inside the output root.
  std::string folder;
  /// The error of a table broken past what the walk can go on from: the
  /// entries before it were extracted, the ones after it can't be read.
  std::optional<Error> table_error;
  /// Of the entries written, those whose file replaced the file an earlier
  /// entry of the same path had written in this run: `written - replaced`
  /// files stand.
  int32_t replaced = 0;
};

/// Extracts the entries of the container that `selection` describes
/// (it must have passed inspection) into EXT_<BaseName> inside
/// `output_root` ("" for the selection's own folder), making that folder
/// first. A broken entry or one that can't be written goes to the listener.
/// Throws Error when the container can't be read or when the output folder
/// can't be made; a table broken further on ends the extraction with
/// `table_error`. An extraction that writes no file removes the
/// EXT_<BaseName> folder if it made it. Only the entries that `choice`
/// takes are extracted (and counted in the progress); the rule above holds
/// among them.
ExtractResult Extract(const Selection& selection,
                      const std::string& output_root, ExtractListener& listener,
                      const EntryChoice& choice = EntryChoice());

/// What an extraction wrote: "12 files written", or, when later entries
/// replaced earlier ones of the same path, "6 entries written to 2 files
/// (4 replaced an earlier entry of the same path)".
std::string WrittenText(const ExtractResult& result);

/// The extraction folder's name for `selection`: "EXT_" + BaseName as
/// Windows reads it.
std::string ExtractFolderName(const Selection& selection);

}  // namespace brimwald

#endif  // BRIMWALD_EXTRACT_EXTRACT_H_
