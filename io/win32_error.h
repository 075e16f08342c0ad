// Windows error codes (GetLastError()) as the core reports errors. The
// common ones read as the C library's words, the same on every system
// ("No such file or directory"); the rest as the system's own text.
// Windows only.

#ifndef BRIMWALD_IO_WIN32_ERROR_H_
#define BRIMWALD_IO_WIN32_ERROR_H_

#include <string_view>
#include <system_error>

#include "base/error.h"

namespace brimwald {

/// The Windows error `code` as an error_code: of the generic category where
/// a C library error means the same, of the system's otherwise.
std::error_code WindowsErrorCode(unsigned long code);

/// SystemFileError for the Windows error `code`.
Error WindowsFileError(std::string_view what, std::string_view path,
                       unsigned long code);

}  // namespace brimwald

#endif  // BRIMWALD_IO_WIN32_ERROR_H_
