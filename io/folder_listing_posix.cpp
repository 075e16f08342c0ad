#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "base/error.h"
#include "io/folder_listing.h"

namespace brimwald {

std::vector<std::string> ListFilesEndingIn(const std::string& path,
                                           std::string_view extension) {
  const char* native = path.empty() ? "." : path.c_str();
  std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(native), ::closedir);
  if (!folder) throw SystemFileError("cannot list", path, errno);
  std::vector<std::string> names;
  while (true) {
    errno = 0;
    const dirent* entry = ::readdir(folder.get());
    if (entry == nullptr) break;
    std::string_view name = entry->d_name;
    if (!EndsWithIgnoringCase(name, extension)) continue;
    struct stat status;
    // A link to a file counts as the file, as opening it would.
    if (::fstatat(::dirfd(folder.get()), entry->d_name, &status, 0) == 0 &&
        S_ISDIR(status.st_mode)) {
      continue;
    }
    names.emplace_back(name);
  }
  if (errno != 0) throw SystemFileError("cannot list", path, errno);
  SortIgnoringCase(names);
  return names;
}

}  // namespace brimwald
