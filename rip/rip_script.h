// The rip: walks the VFS table of the selected container and writes the
// script "RIP_<BaseName>.bat" that cuts, joins and cleans up every included
// file's pieces (see rip/script_lines.h for its lines).

#ifndef BRIMWALD_RIP_RIP_SCRIPT_H_
#define BRIMWALD_RIP_RIP_SCRIPT_H_

#include <functional>
#include <string>

#include "container/selection.h"
#include "table/table_walk.h"

namespace brimwald {

/// Shows the entry whose lines are being written (its Name is the entry
/// name the script uses).
using ShowEntry = std::function<void(const TableEntry& entry)>;
/// Tells the user the script is complete.
using Beep = std::function<void()>;

/// "RIP_" + BaseName + ".bat".
std::string ScriptName(const Selection& selection);

/// Writes the rip script for `selection` into its directory, calling
/// `show_entry` once per record and `beep` once at the end, after both
/// files are closed.
///
/// The script appears whole or not at all: on any error nothing is created
/// and an older script of the same name is left as it was. Throws Error
/// when the selection didn't pass its inspection, when the container's name
/// can't be quoted, when the container or the script can't be opened, read
/// or written, and wherever the table walk fails (table/table_walk.h).
void Rip(const Selection& selection, const ShowEntry& show_entry,
         const Beep& beep);

}  // namespace brimwald

#endif  // BRIMWALD_RIP_RIP_SCRIPT_H_
