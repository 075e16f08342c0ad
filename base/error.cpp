#include "base/error.h"

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

Error FileError(std::string_view what, std::string_view path,
                std::string_view why) {
  return Error(ErrorKind::kFile, Describe(what, path, why));
}

Error SystemFileError(std::string_view what, std::string_view path,
                      int error_number) {
  return SystemFileError(
      what, path, std::error_code(error_number, std::generic_category()));
}

Error SystemFileError(std::string_view what, std::string_view path,
                      const std::error_code& error) {
  return FileError(what, path,
                   error ? error.message() : "unknown input/output error");
}

Error ContainerError(std::string_view path, std::string_view why) {
  return Error(ErrorKind::kContainer, Describe("cannot read", path, why));
}

Error EntryError(std::string_view path, int32_t index,
                 std::optional<std::string_view> name, std::string_view why,
                 ErrorKind kind) {
  std::string text = "'";
  text += path;
  text += "': entry " + std::to_string(index);
  if (name) {
    text += " '";
    text += *name;
    text += "'";
  }
  text += ": ";
  text += why;
  return Error(kind, text);
}

}  // namespace brimwald
