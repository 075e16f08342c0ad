#include "io/made_folders.h"

#include <filesystem>
#include <system_error>

#include "io/utf8_path.h"

namespace brimwald {

MadeFolders::~MadeFolders() {
  for (auto opened = opened_.rbegin(); opened != opened_.rend(); ++opened) {
    opened->folder.reset();
    if (opened->registration && !kept_) {
      opened->parent->RemoveEmptyChild(opened->name);
    }
  }
}

const Folder& MadeFolders::Child(const Folder& parent, std::string_view name) {
  bool made = false;
  auto child = std::make_unique<Folder>(parent.Child(name, true, &made));
  Opened opened{&parent, std::string(name), std::move(child), nullptr};
  if (made) {
    ++made_;
    opened.registration =
        std::make_unique<TemporaryName>(parent, opened.name, true);
  }
  opened_.push_back(std::move(opened));
  return *opened_.back().folder;
}

const Folder& MadeFolders::FolderOf(const std::string& file_path) {
  std::filesystem::path existing = PathFromUtf8(file_path).parent_path();
  std::vector<std::string> missing;  // innermost first
  while (true) {
    std::optional<Folder> found = Folder::OpenIfThere(Utf8FromPath(existing));
    if (found) {
      base_ = std::make_unique<Folder>(std::move(*found));
      break;
    }
    if (existing.empty() || existing == existing.parent_path()) {
      base_ = std::make_unique<Folder>(Utf8FromPath(existing));
      break;
    }
    // "a/b/" names "a/b": its last part is empty.
    std::string part = Utf8FromPath(existing.filename());
    if (!part.empty()) missing.push_back(std::move(part));
    existing = existing.parent_path();
  }
  const Folder* folder = base_.get();
  for (auto part = missing.rbegin(); part != missing.rend(); ++part) {
    folder = &Child(*folder, *part);
  }
  return *folder;
}

}  // namespace brimwald
