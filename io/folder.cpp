#include "io/folder.h"

#include "base/error.h"

namespace brimwald {

Folder::Folder(std::string path) : Folder(Opened(path)) {}

Folder Folder::Opened(const std::string& path) {
  std::error_code error;
  std::optional<Folder> opened = Open(path, error);
  if (!opened) throw SystemFileError("cannot open folder", path, error);
  return std::move(*opened);
}

std::optional<Folder> Folder::OpenIfThere(std::string path) {
  std::error_code ignored;
  return Open(std::move(path), ignored);
}

}  // namespace brimwald
