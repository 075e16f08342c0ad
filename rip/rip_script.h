// The rip: walks the VFS table of the selected container and writes the
// script "RIP_<BaseName>.bat" that cuts, joins and cleans up every included
// file's pieces (see rip/script_lines.h for its lines).

#ifndef BRIMWALD_RIP_RIP_SCRIPT_H_
#define BRIMWALD_RIP_RIP_SCRIPT_H_

#include <functional>
#include <string>

#include "container/selection.h"

namespace brimwald {

/// Shows the entry whose lines are being written.
using ShowEntryName = std::function<void(const std::string& entry_name)>;
/// Tells the user the script is complete.
using Beep = std::function<void()>;

/// "RIP_" + BaseName + ".bat".
std::string ScriptName(const Selection& selection);

/// Writes the rip script for `selection` into its directory, calling
/// `show_entry_name` once per record with the normalised name and `beep`
/// once at the end, after both files are closed.
///
/// The script appears whole or not at all: on any error nothing is created
/// and an older script of the same name is left as it was. Throws when the
/// selection didn't pass its inspection, when FileCount is negative, when
/// the container or the script can't be opened, read or written, when a
/// record or name lies outside the container (FileError), and when a
/// position or range end leaves the signed 32-bit range (OverflowError).
void Rip(const Selection& selection, const ShowEntryName& show_entry_name,
         const Beep& beep);

}  // namespace brimwald

#endif  // BRIMWALD_RIP_RIP_SCRIPT_H_
