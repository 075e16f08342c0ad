#include <filesystem>
#include <system_error>

#include "base/error.h"
#include "io/folder_entries.h"
#include "io/utf8_path.h"

namespace brimwald {
namespace {

NodeType TypeOf(std::filesystem::file_type type) {
  switch (type) {
    case std::filesystem::file_type::not_found:
      return NodeType::kMissing;
    case std::filesystem::file_type::regular:
      return NodeType::kFile;
    case std::filesystem::file_type::directory:
      return NodeType::kFolder;
    case std::filesystem::file_type::symlink:
      return NodeType::kLink;
    default:
      return NodeType::kOther;
  }
}

}  // namespace

NodeType NodeTypeAt(const std::string& path) {
  std::error_code error;
  std::filesystem::file_status status =
      std::filesystem::symlink_status(PathFromUtf8(path), error);
  if (error && status.type() != std::filesystem::file_type::not_found) {
    throw SystemFileError("cannot look at", path, error);
  }
  return TypeOf(status.type());
}

std::vector<FolderEntry> ListFolderEntries(const std::string& path) {
  std::vector<FolderEntry> entries;
  std::error_code error;
  std::filesystem::directory_iterator it(PathFromUtf8(path), error);
  for (; !error && it != std::filesystem::directory_iterator();
       it.increment(error)) {
    // The type comes from the listing itself where the system gives it.
    std::filesystem::file_status status = it->symlink_status(error);
    if (error) break;
    entries.push_back(
        {Utf8FromPath(it->path().filename()), TypeOf(status.type())});
  }
  if (error) throw SystemFileError("cannot list", path, error);
  return entries;
}

}  // namespace brimwald
