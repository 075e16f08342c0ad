#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "base/error.h"
#include "io/folder_entries.h"
#include "io/utf8_path.h"

namespace brimwald {
namespace {

NodeType TypeOf(mode_t mode) {
  if (S_ISREG(mode)) return NodeType::kFile;
  if (S_ISDIR(mode)) return NodeType::kFolder;
  if (S_ISLNK(mode)) return NodeType::kLink;
  return NodeType::kOther;
}

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

FileId IdOfFolder(const Folder& folder) {
  struct stat status;
  if (::fstat(folder.handle(), &status) != 0) {
    throw SystemFileError("cannot look at", folder.path(), errno);
  }
  return {static_cast<uint64_t>(status.st_dev),
          static_cast<uint64_t>(status.st_ino)};
}

std::vector<FolderEntry> ListFolderEntries(const Folder& folder) {
  // A handle of its own, so that the listing's position is no one else's.
  int handle =
      ::openat(folder.handle(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* listing = handle < 0 ? nullptr : ::fdopendir(handle);
  if (listing == nullptr) {
    int error_number = errno;
    if (handle >= 0) ::close(handle);
    throw SystemFileError("cannot list", folder.path(), error_number);
  }
  std::vector<FolderEntry> entries;
  int error_number = 0;
  while (true) {
    errno = 0;
    const dirent* found = ::readdir(listing);
    if (found == nullptr) {
      error_number = errno;
      break;
    }
    std::string_view name = found->d_name;
    if (name == "." || name == "..") continue;
    struct stat status;
    if (::fstatat(::dirfd(listing), found->d_name, &status,
                  AT_SYMLINK_NOFOLLOW) != 0) {
      // Gone since it was listed.
      if (errno == ENOENT) continue;
      error_number = errno;
      break;
    }
    entries.push_back({std::string(name),
                       TypeOf(status.st_mode),
                       {static_cast<uint64_t>(status.st_dev),
                        static_cast<uint64_t>(status.st_ino)}});
  }
  ::closedir(listing);
  if (error_number != 0) {
    throw SystemFileError("cannot list", folder.path(), error_number);
  }
  return entries;
}

}  // namespace brimwald
