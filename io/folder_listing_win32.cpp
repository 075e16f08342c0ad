#include <windows.h>

#include <memory>

#include "base/error.h"
#include "io/folder_listing.h"
#include "text/wide_text.h"
#include "io/win32_error.h"

namespace brimwald {
namespace {

struct FindCloser {
  void operator()(HANDLE find) const { ::FindClose(find); }
};

std::wstring AllIn(const std::string& path) {
  std::wstring pattern = NativePath(path.empty() ? "." : path);
  if (!pattern.ends_with(L'\\') && !pattern.ends_with(L'/')) pattern += L'\\';
  return pattern + L'*';
}

}  // namespace

std::vector<std::string> ListFilesEndingIn(const std::string& path,
                                           std::string_view extension) {
  WIN32_FIND_DATAW found;
  HANDLE first = ::FindFirstFileExW(AllIn(path).c_str(), FindExInfoBasic,
                                    &found, FindExSearchNameMatch, nullptr,
                                    FIND_FIRST_EX_LARGE_FETCH);
  if (first == INVALID_HANDLE_VALUE) {
    // Only an empty drive's top folder lacks even "." and "..".
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return {};
    throw WindowsFileError("cannot list", path, error);
  }
  std::unique_ptr<void, FindCloser> find(first);
  std::vector<std::string> names;
  do {
    // A link to a file counts as the file, as opening it would; a link to a
    // folder carries the folder attribute and is left out with folders.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    std::string name = Narrow(found.cFileName);
    if (EndsWithIgnoringCase(name, extension)) names.push_back(std::move(name));
  } while (::FindNextFileW(find.get(), &found));
  if (DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES) {
    throw WindowsFileError("cannot list", path, error);
  }
  SortIgnoringCase(names);
  return names;
}

}  // namespace brimwald
