// Checking a chosen file and recording it as the current Selection.

#ifndef BRIMWALD_CONTAINER_INSPECTION_H_
#define BRIMWALD_CONTAINER_INSPECTION_H_

#include <string>
#include <string_view>

#include "container/selection.h"

namespace brimwald {

/// The label text for a file whose magic isn't "ZEQSNDSTREAM".
inline constexpr std::string_view kInvalidFileText = "Invalid File!!!";

/// `name` without its last "." and what follows; `name` itself when it has
/// no ".".
std::string BaseNameOf(const std::string& name);

/// Inspects the file `chosen_name` (a bare file name) in `directory` (empty:
/// the current directory). Replaces the selection's names whatever the
/// outcome and clears Passed; on a matching magic reads VfsStart and
/// FileCount, sets Passed and returns
/// "VFS Start at: 0x<hex>\r\nIncluded Files: <decimal>". A file whose magic
/// differs (a short file included) gives "Invalid File!!!" and leaves the
/// numbers as they were. Throws FileError when the file can't be opened or a
/// container's header is cut short.
std::string Inspect(const std::string& chosen_name, Selection& selection,
                    const std::string& directory = "");

}  // namespace brimwald

#endif  // BRIMWALD_CONTAINER_INSPECTION_H_
