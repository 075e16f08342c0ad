// The descriptions carried by the errors of file operations, so that every
// front end reports what failed, on which file, and why, in one form.

#ifndef BRIMWALD_TEXT_FILE_ERROR_H_
#define BRIMWALD_TEXT_FILE_ERROR_H_

#include <stdexcept>
#include <string_view>

namespace brimwald {

/// An error whose description is "<what> '<path>': <why>", e.g.
/// "cannot open 'music.str': No such file or directory".
class FileError : public std::runtime_error {
 public:
  FileError(std::string_view what, std::string_view path, std::string_view why);
};

/// A FileError whose reason is the operating system's text for
/// `error_number` (an errno value).
FileError SystemFileError(std::string_view what, std::string_view path,
                          int error_number);

}  // namespace brimwald

#endif  // BRIMWALD_TEXT_FILE_ERROR_H_
