#include <windows.h>

#include <algorithm>
#include <string_view>

#include "io/file_arguments.h"
#include "text/wide_text.h"

namespace brimwald {
namespace {

// Where the last part of `argument` starts: after its last slash,
// backslash or drive colon.
size_t NameStart(std::string_view argument) {
  size_t at = argument.find_last_of("/\\:");
  return at == std::string_view::npos ? 0 : at + 1;
}

// The names of the files in the folder of `pattern` that match it, as the
// file system matches them; none when nothing does.
std::vector<std::wstring> MatchingNames(const std::string& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search =
      ::FindFirstFileExW(NativePath(pattern).c_str(), FindExInfoBasic, &found,
                         FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names.emplace_back(found.cFileName);
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

bool BeforeIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) ==
         CSTR_LESS_THAN;
}

}  // namespace

std::vector<std::string> ExpandFileArgument(const std::string& argument) {
  const size_t start = NameStart(argument);
  if (argument.find_first_of("*?", start) == std::string::npos) {
    return {argument};
  }
  std::vector<std::wstring> names = MatchingNames(argument);
  if (names.empty()) return {argument};
  std::sort(names.begin(), names.end(), BeforeIgnoringCase);
  std::vector<std::string> files;
  for (const std::wstring& name : names) {
    files.push_back(argument.substr(0, start) + Narrow(name));
  }
  return files;
}

}  // namespace brimwald
