#include "io/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/error.h"
#include "io/utf8_path.h"

namespace brimwald {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Bytes compare unsigned, as std::string compares them, so that names
// outside ASCII come after it rather than before.
bool LowerBefore(char x, char y) {
  return static_cast<unsigned char>(AsciiLower(x)) <
         static_cast<unsigned char>(AsciiLower(y));
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(),
                                           b.end(), LowerBefore);
  bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(),
                                              a.end(), LowerBefore);
  return less || (!greater && a < b);
}

}  // namespace

std::vector<std::string> ListFilesEndingIn(const std::string& path,
                                           std::string_view extension) {
  std::error_code error;
  std::filesystem::directory_iterator entries(
      PathFromUtf8(path.empty() ? "." : path), error);
  std::vector<std::string> names;
  for (; !error && entries != std::filesystem::directory_iterator();
       entries.increment(error)) {
    std::string name = Utf8FromPath(entries->path().filename());
    if (!EndsWithIgnoringCase(name, extension)) continue;
    // A link to a file counts as the file, as opening it would; a link to a
    // folder is left out with the folders.
    std::error_code ignored;
    if (!entries->is_directory(ignored)) names.push_back(std::move(name));
  }
  if (error) throw SystemFileError("cannot list", path, error);
  SortIgnoringCase(names);
  return names;
}

bool EndsWithIgnoringCase(std::string_view name, std::string_view extension) {
  if (name.size() < extension.size()) return false;
  std::string_view tail = name.substr(name.size() - extension.size());
  return std::equal(
      tail.begin(), tail.end(), extension.begin(),
      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

void SortIgnoringCase(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), LessIgnoringCase);
}

}  // namespace brimwald
