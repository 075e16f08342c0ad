// How `extract` reports an entry it could not extract: one line that names
// the container and the entry once each, then the reason.

#ifndef BRIMWALD_CLI_ENTRY_FAILURE_H_
#define BRIMWALD_CLI_ENTRY_FAILURE_H_

#include <string>
#include <string_view>

#include "base/error.h"
#include "table/table_walk.h"

namespace brimwald {

/// "'<file>': entry <index> '<name>': <why>" for `entry` of the container
/// that the user named `file` and the core opened as `container_path`.
/// `error`'s own naming of the container (and of the entry) is left out of
/// <why>: "cannot read '<container_path>': entry <index>: <reason>" gives
/// <reason>, "<what> '<container_path>': <reason>" gives "<what>: <reason>";
/// a message about another file (the one being written) stays whole.
std::string EntryFailureText(std::string_view file,
                             std::string_view container_path,
                             const TableEntry& entry, const Error& error);

}  // namespace brimwald

#endif  // BRIMWALD_CLI_ENTRY_FAILURE_H_
