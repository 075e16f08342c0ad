#ifndef BRIMWALD_IO_FOLDER_LISTING_H_
#define BRIMWALD_IO_FOLDER_LISTING_H_

#include <string>
#include <string_view>
#include <vector>

namespace brimwald {

/// The names of the files in the folder `path` ("" for the current one)
/// that end in `extension` ignoring ASCII letter case, as the system gives
/// them (bytes; UTF-8 on Windows), sorted ignoring ASCII letter case.
/// Folders are left out. Throws Error (kFile) when the folder can't be read.
std::vector<std::string> ListFilesEndingIn(const std::string& path,
                                           std::string_view extension);

/// Whether `name` ends in `extension`, ignoring ASCII letter case.
bool EndsWithIgnoringCase(std::string_view name, std::string_view extension);

/// Sorts `names` ignoring ASCII letter case (then by bytes, so that the
/// order is total).
void SortIgnoringCase(std::vector<std::string>& names);

}  // namespace brimwald

#endif  // BRIMWALD_IO_FOLDER_LISTING_H_
