// The files that FILE arguments name. A Windows program gets its command
// line as it was typed, wildcards and all, and expands them itself, as
// Windows programs do; elsewhere the shell has expanded them already.

#ifndef BRIMWALD_IO_FILE_ARGUMENTS_H_
#define BRIMWALD_IO_FILE_ARGUMENTS_H_

#include <string>
#include <vector>

namespace brimwald {

/// On Windows, the files that `argument` names when its last part holds
/// `*` or `?`: those of its folder that match, letter case ignored as the
/// file system ignores it, folders left out, sorted by name ignoring case,
/// each after the folder part as written. An argument that matches nothing,
/// or holds no wildcard, is itself alone; elsewhere every argument is.
std::vector<std::string> ExpandFileArgument(const std::string& argument);

/// Every one of `arguments` expanded in its place.
std::vector<std::string> ExpandFileArguments(
    const std::vector<std::string>& arguments);

/// The one file `argument` names once expanded; throws Error (kUsage)
/// naming `what` ("CONTAINER") when it matches several.
std::string ExpandOneFileArgument(const std::string& argument,
                                  const std::string& what);

}  // namespace brimwald

#endif  // BRIMWALD_IO_FILE_ARGUMENTS_H_
