#include "io/folder.h"

#include "base/error.h"

namespace brimwald {
namespace {

Folder Opened(const std::string& path) {
  std::error_code error;
  std::optional<Folder> opened = Folder::Open(path, error);
  if (!opened) throw SystemFileError("cannot open folder", path, error);
  return std::move(*opened);
}

}  // namespace

Folder::Folder(std::string path) : Folder(Opened(path)) {}

}  // namespace brimwald
