#include "io/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/error.h"
#include "io/folder.h"
#include "io/folder_entries.h"
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
  Folder folder(path);
  std::vector<std::string> names;
  for (FolderEntry& entry : ListFolderEntries(folder)) {
    if (!EndsWithIgnoringCase(entry.name, extension)) continue;
    // A link to a file counts as the file, as opening it would; a link to a
    // folder is left out with the folders.
    if (entry.type == NodeType::kLink) {
      std::error_code ignored;
      if (std::filesystem::is_directory(PathFromUtf8(folder.PathOf(entry.name)),
                                        ignored)) {
        continue;
      }
    } else if (entry.type == NodeType::kFolder) {
      continue;
    }
    names.push_back(std::move(entry.name));
  }
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
