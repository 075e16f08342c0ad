// The one error type of the core. Its description says what failed, on which
// file, and why ("cannot open 'music.str': No such file or directory");
// its kind tells a caller whether it may go on with the next entry.

#ifndef BRIMWALD_BASE_ERROR_H_
#define BRIMWALD_BASE_ERROR_H_

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace brimwald {

enum class ErrorKind {
  /// A file can't be opened, read or written; or a name can't be used.
  kFile,
  /// The container's header or VFS table is broken: no further entry can be
  /// read from it.
  kContainer,
  /// One entry is broken (its name or a piece's range); the entries after
  /// it can still be read.
  kEntry,
  /// What the user asked for can't be read: a pattern or an index list.
  kUsage,
};

class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, const std::string& description)
      : std::runtime_error(description), kind_(kind) {}

  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

/// A kFile error described as "<what> '<path>': <why>".
Error FileError(std::string_view what, std::string_view path,
                std::string_view why);

/// A FileError whose reason is the system's text for `error` (an errno
/// value, or a std::error_code).
Error SystemFileError(std::string_view what, std::string_view path,
                      int error_number);
Error SystemFileError(std::string_view what, std::string_view path,
                      const std::error_code& error);

/// A kContainer error: "cannot read '<path>': <why>".
Error ContainerError(std::string_view path, std::string_view why);

/// An error about one entry, "'<path>': entry <index> '<name>': <why>",
/// the name left out when it couldn't be read; of kind kEntry unless the
/// table itself can't be read on (kContainer).
Error EntryError(std::string_view path, int32_t index,
                 std::optional<std::string_view> name, std::string_view why,
                 ErrorKind kind = ErrorKind::kEntry);

}  // namespace brimwald

#endif  // BRIMWALD_BASE_ERROR_H_
