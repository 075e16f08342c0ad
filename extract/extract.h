// Extraction: what running a container's rip script on Windows leaves,
// written directly. For every entry, EXT_<BaseName>\<entry>.qvstr holds the
// entry's 72-byte record, then its stream header, then its stream body;
// paths are read as Windows reads them (names/windows_path.h).
//
// Each file appears whole or not at all, and a later entry with the same
// path replaces an earlier one, as in the script. Nothing is written
// outside the output folder: a symbolic link below it is never followed.

#ifndef BRIMWALD_EXTRACT_EXTRACT_H_
#define BRIMWALD_EXTRACT_EXTRACT_H_

#include <cstdint>
#include <string>

#include "container/selection.h"
#include "base/error.h"
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
  int32_t written = 0;
  int32_t failed = 0;
  bool stopped = false;  // by the listener
  /// The output folder, EXT_<BaseName> inside the output root.
  std::string folder;
};

/// Extracts the entries of the container that `selection` describes
/// (it must have passed inspection) into EXT_<BaseName> inside
/// `output_root` ("" for the selection's own folder), making that folder
/// first. A broken entry or one that can't be written goes to the listener.
/// Throws Error when the container can't be read, when its table is broken
/// past what the walk can go on from (entries before stay), or when the
/// output folder can't be made.
ExtractResult Extract(const Selection& selection,
                      const std::string& output_root,
                      ExtractListener& listener);

/// The extraction folder's name for `selection`: "EXT_" + BaseName as
/// Windows reads it.
std::string ExtractFolderName(const Selection& selection);

}  // namespace brimwald

#endif  // BRIMWALD_EXTRACT_EXTRACT_H_
