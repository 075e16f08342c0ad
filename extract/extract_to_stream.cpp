#include "extract/extract_to_stream.h"

#include <array>

#include "extract/entry_bytes.h"
#include "extract/piece_lengths.h"
#include "table/table_walk.h"

namespace brimwald {
namespace {

// Writes one entry's bytes to `out`; returns how many.
int64_t WriteEntry(StreamContainer& container, const TableEntry& entry,
                   std::ostream& out, const std::string& out_name,
                   std::string& buffer) {
  // Every piece is known to be cuttable before the first byte goes out.
  std::array<int64_t, 3> lengths = PieceLengths(container, entry);
  ReadEntryBytes(
      container, entry, lengths, buffer, [&](std::string_view bytes) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
          throw Error(ErrorKind::kFile, "cannot write to " + out_name);
        }
        return true;
      });
  return Total(lengths);
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
      try {
        progress.bytes_done +=
            WriteEntry(walk.container(), entry, out, out_name, buffer);
        ++result.written;
      } catch (const Error& error) {
        if (error.kind() != ErrorKind::kEntry) throw;
        ++result.failed;
        listener.EntryFailed(entry, error);
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
