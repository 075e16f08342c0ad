// How Windows reads a path that a rip script writes: "\" separates the
// parts, empty parts are dropped, and every part loses its trailing dots and
// spaces ("sfx. \door" names the file "door" in the folder "sfx"). The
// extraction lays out its files the way running the script on Windows
// does, so it reads entry paths the same way.

#ifndef BRIMWALD_NAMES_WINDOWS_PATH_H_
#define BRIMWALD_NAMES_WINDOWS_PATH_H_

#include <string>
#include <string_view>
#include <vector>

namespace brimwald {

/// `part` without its trailing dots and spaces.
std::string_view TrimWindowsPart(std::string_view part);

/// `path` with the trailing dots and spaces of each of its parts dropped,
/// "\\" or "/" between them; "." and ".." parts, empty parts and the
/// separators stay, so that drive and network prefixes do too.
std::string TrimWindowsParts(std::string_view path);

/// Replaces `parts` with the parts of the "\"-separated `path` as Windows
/// reads them; they point into `path`.
void SplitWindowsPath(std::string_view path,
                      std::vector<std::string_view>& parts);

}  // namespace brimwald

#endif  // BRIMWALD_NAMES_WINDOWS_PATH_H_
