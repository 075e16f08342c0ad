#include "rip/rip_script.h"

#include "io/atomic_file.h"
#include "rip/script_lines.h"
#include "table/table_walk.h"

namespace brimwald {

std::string ScriptName(const Selection& selection) {
  return "RIP_" + selection.BaseName + ".bat";
}

void Rip(const Selection& selection, const ShowEntry& show_entry,
         const Beep& beep) {
  ScriptLines lines(selection.FilePath, selection.BaseName);
  TableWalk walk(selection);
  AtomicFile script(PathInDirectory(selection, ScriptName(selection)));
  std::string block;
  lines.AppendDirectoryLine(block);
  while (walk.Next()) {
    const TableEntry& entry = walk.entry();
    // A line of this entry would name no file or no range.
    if (!entry.Scriptable()) {
      throw EntryError(walk.container().path(), entry, entry.Problems.front());
    }
    show_entry(entry);
    lines.AppendBlock(block, entry.Name, entry.Ranges);
    // Blocks gathered past the file's buffer go straight to the file, not
    // copied through it again.
    if (block.size() >= AtomicFile::kBufferSize) {
      script.Write(block);
      block.clear();
    }
  }
  script.Write(block);
  script.Commit();
  beep();
}

}  // namespace brimwald
