#include "io/made_folders.h"

#include <filesystem>
#include <system_error>

#include "io/utf8_path.h"

namespace brimwald {

MadeFolders::~MadeFolders() {
  for (auto made = made_.rbegin(); made != made_.rend(); ++made) {
    made->parent->RemoveEmptyChild(made->name);
  }
}

Folder MadeFolders::Child(const Folder& parent, std::string_view name) {
  bool made = false;
  Folder child = parent.Child(name, true, &made);
  if (made) {
    std::string part(name);
    auto registration = std::make_unique<TemporaryName>(parent, part, true);
    made_.push_back({&parent, std::move(part), std::move(registration)});
  }
  return child;
}

const Folder& MadeFolders::FolderOf(const std::string& file_path) {
  std::filesystem::path existing = PathFromUtf8(file_path).parent_path();
  std::vector<std::string> missing;  // innermost first
  while (true) {
    std::error_code error;
    std::optional<Folder> found = Folder::Open(Utf8FromPath(existing), error);
    if (found) {
      opened_.push_back(std::make_unique<Folder>(std::move(*found)));
      break;
    }
    if (existing.empty() || existing == existing.parent_path()) {
      opened_.push_back(std::make_unique<Folder>(Utf8FromPath(existing)));
      break;
    }
    // "a/b/" names "a/b": its last part is empty.
    std::string part = Utf8FromPath(existing.filename());
    if (!part.empty()) missing.push_back(std::move(part));
    existing = existing.parent_path();
  }
  for (auto part = missing.rbegin(); part != missing.rend(); ++part) {
    opened_.push_back(std::make_unique<Folder>(Child(*opened_.back(), *part)));
  }
  return *opened_.back();
}

}  // namespace brimwald
