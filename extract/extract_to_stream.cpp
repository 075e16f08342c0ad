#include "extract/extract_to_stream.h"

#include <array>

#include "extract/entry_bytes.h"
#include "table/table_walk.h"

namespace brimwald {
namespace {

// Writes one entry's bytes to `out`; returns how many.
int64_t WriteEntry(StreamContainer& container, const TableEntry& entry,
                   std::ostream& out, const std::string& out_name,
                   std::string& buffer) {
  ReadEntryBytes(
      container, entry.Ranges, entry.Lengths, buffer,
      [&](std::string_view bytes) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
          throw Error(ErrorKind::kFile, "cannot write to " + out_name);
        }
        return true;
      });
  return entry.FileSize();
}

}  // namespace

ExtractResult ExtractToStream(const Selection& selection, std::ostream& out,
                              const std::string& out_name,
                              ExtractListener& listener,
                              const EntryChoice& choice) {
  TableWalk walk(selection);
  ExtractResult result;
  ExtractProgress progress;
  progress.entries_total = walk.count();
  std::string buffer;
  try {
    while (walk.Next()) {
      const TableEntry& entry = walk.entry();
      if (!choice.Chooses(entry)) continue;
      ++progress.entries_done;
      // Every piece is known to be cuttable before the first byte goes out.
      if (entry.Cuttable()) {
        progress.bytes_done +=
            WriteEntry(walk.container(), entry, out, out_name, buffer);
        ++result.written;
      } else {
        ++result.failed;
        listener.EntryFailed(entry,
                             EntryProblemError(walk.container().path(), entry));
      }
      if (!listener.Progress(progress)) {
        result.stopped = true;
        break;
      }
    }
  } catch (const Error& error) {
    if (error.kind() != ErrorKind::kContainer) throw;
    result.table_error = error;
  }
  out.flush();
  if (!out) throw Error(ErrorKind::kFile, "cannot write to " + out_name);
  return result;
}

}  // namespace brimwald
