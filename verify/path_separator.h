// The separator the system writes between the parts of a path, as the
// output folder's own path has it, so that the paths a check reports read
// as one.

#ifndef BRIMWALD_VERIFY_PATH_SEPARATOR_H_
#define BRIMWALD_VERIFY_PATH_SEPARATOR_H_

#include <filesystem>

namespace brimwald {

/// "\" on Windows, "/" elsewhere.
inline constexpr char kPathSeparator =
    static_cast<char>(std::filesystem::path::preferred_separator);

}  // namespace brimwald

#endif  // BRIMWALD_VERIFY_PATH_SEPARATOR_H_
