#include "text/file_error.h"

#include <cstring>
#include <string>

namespace brimwald {
namespace {

std::string Describe(std::string_view what, std::string_view path,
                     std::string_view why) {
  std::string text(what);
  text += " '";
  text += path;
  text += "': ";
  text += why;
  return text;
}

}  // namespace

FileError::FileError(std::string_view what, std::string_view path,
                     std::string_view why)
    : std::runtime_error(Describe(what, path, why)) {}

FileError SystemFileError(std::string_view what, std::string_view path,
                          int error_number) {
  const char* reason = error_number != 0 ? std::strerror(error_number)
                                         : "unknown input/output error";
  return FileError(what, path, reason);
}

}  // namespace brimwald
