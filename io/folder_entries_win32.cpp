#include <windows.h>

#include "base/error.h"
#include "io/folder_entries.h"
#include "io/win32_error.h"
#include "text/wide_text.h"

namespace brimwald {
namespace {

NodeType TypeOf(DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return NodeType::kLink;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return NodeType::kFolder;
  if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return NodeType::kOther;
  return NodeType::kFile;
}

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Closes a search when it goes.
class Search {
 public:
  explicit Search(HANDLE handle) : handle_(handle) {}
  ~Search() {
    if (handle_ != INVALID_HANDLE_VALUE) ::FindClose(handle_);
  }
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;

 private:
  HANDLE handle_;
};

}  // namespace

NodeType NodeTypeAt(const std::string& path) {
  DWORD attributes = ::GetFileAttributesW(NativePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = ::GetLastError();
    if (IsMissing(error)) return NodeType::kMissing;
    throw WindowsFileError("cannot look at", path, error);
  }
  return TypeOf(attributes);
}

// An open Folder keeps its folder from being moved or replaced on Windows.
FileId IdOfFolder(const Folder&) { return {}; }

std::vector<FolderEntry> ListFolderEntries(const Folder& folder) {
  const std::string& path = folder.path();
  WIN32_FIND_DATAW found;
  HANDLE handle = ::FindFirstFileExW(
      NativePath((path.empty() ? "." : path) + "\\*").c_str(), FindExInfoBasic,
      &found, FindExSearchNameMatch, nullptr, 0);
  std::vector<FolderEntry> entries;
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    // A folder with nothing in it, not even "." (a drive's root).
    if (error == ERROR_FILE_NOT_FOUND &&
        NodeTypeAt(path) == NodeType::kFolder) {
      return entries;
    }
    throw WindowsFileError("cannot list", path, error);
  }
  Search search(handle);
  do {
    std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({Narrow(name), TypeOf(found.dwFileAttributes), {}});
  } while (::FindNextFileW(handle, &found));
  DWORD error = ::GetLastError();
  if (error != ERROR_NO_MORE_FILES) {
    throw WindowsFileError("cannot list", path, error);
  }
  return entries;
}

}  // namespace brimwald
