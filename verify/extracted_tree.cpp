#include "verify/extracted_tree.h"

#include <algorithm>
#include <cstddef>

#include "base/error.h"
#include "names/windows_path.h"
#include "verify/path_separator.h"

namespace brimwald {
namespace {

std::string Joined(const std::string& head, std::string_view tail,
                   char separator) {
  std::string joined = head;
  if (!joined.empty()) joined += separator;
  joined += tail;
  return joined;
}

// Whether a listed id and the id of what was opened say it was replaced
// meanwhile; a zero id is one the system didn't tell.
bool Replaced(const FileId& listed, const FileId& opened) {
  return listed != FileId{} && opened != FileId{} && listed != opened;
}

}  // namespace

ExtractedTree::ExtractedTree(Folder top, size_t expected)
    : top_(std::move(top)) {
  nodes_.reserve(expected);
  keys_.reserve(expected);
  List(*top_, -1, false);
}

const TreeNode* ExtractedTree::Find(const std::string& key) const {
  auto found = keys_.find(key);
  if (found == keys_.end() || found->second.held < 0) return nullptr;
  return &At(found->second.held);
}

ExtractedTree::Slot ExtractedTree::SlotOf(const std::string& key) {
  auto found = keys_.find(key);
  if (found == keys_.end()) return {nullptr, nullptr};
  return {&found->first, &found->second.slot};
}

const TreeNode* ExtractedTree::FirstSpelling(const std::string& key) const {
  auto found = keys_.find(key);
  return found == keys_.end() ? nullptr : &At(found->second.first);
}

void ExtractedTree::List(const Folder& folder, int32_t parent, bool shadowed) {
  std::vector<FolderEntry> entries = ListFolderEntries(folder);
  // Sorted, so that which of two spellings comes first never depends on
  // the order the system lists them in.
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) {
              return a.name < b.name;
            });
  const std::string empty;
  // A copy: the nodes move as more are added.
  const std::string head_key = parent < 0 ? empty : *At(parent).key;
  for (FolderEntry& entry : entries) {
    TreeNode node;
    node.name_at = static_cast<uint32_t>(names_.size());
    node.name_size = static_cast<uint32_t>(entry.name.size());
    names_ += entry.name;
    std::string_view trimmed = TrimWindowsPart(entry.name);
    auto spelled =
        keys_.try_emplace(Joined(head_key, PartKey(trimmed), '\\')).first;
    node.key = &spelled->first;
    node.type = entry.type;
    node.id = entry.id;
    node.parent = parent;
    const auto index = static_cast<int32_t>(nodes_.size());
    Spellings& spellings = spelled->second;
    if (spellings.last >= 0) {
      nodes_[static_cast<size_t>(spellings.last)].next_spelling = index;
    } else {
      spellings.first = index;
    }
    spellings.last = index;
    const bool holdable = !shadowed && trimmed == entry.name;
    node.duplicate = !holdable || spellings.held >= 0;
    if (!node.duplicate) spellings.held = index;
    nodes_.push_back(std::move(node));
    if (entry.type == NodeType::kFolder) {
      const bool shadows = !holdable;
      List(Reach(index), index, shadows);
    }
  }
}

const Folder& ExtractedTree::Reach(int32_t folder_node) {
  if (folder_node < 0) return *top_;
  std::vector<int32_t> path;
  for (int32_t at = folder_node; at >= 0; at = At(at).parent) {
    path.push_back(at);
  }
  std::reverse(path.begin(), path.end());
  size_t kept = 0;
  while (kept < chain_.size() && kept < path.size() &&
         chain_[kept].first == path[kept]) {
    ++kept;
  }
  chain_.erase(chain_.begin() + static_cast<ptrdiff_t>(kept), chain_.end());
  for (size_t i = kept; i < path.size(); ++i) {
    const TreeNode& node = At(path[i]);
    const Folder& above = i == 0 ? *top_ : chain_.back().second;
    Folder folder = above.Child(Name(node), false);
    if (Replaced(node.id, IdOfFolder(folder))) {
      throw FileError("cannot read", folder.path(),
                      "it was replaced by another folder while being read");
    }
    chain_.emplace_back(path[i], std::move(folder));
  }
  return chain_.back().second;
}

std::string ExtractedTree::Path(const TreeNode& node) const {
  std::string path(Name(node));
  for (int32_t at = node.parent; at >= 0; at = At(at).parent) {
    path.insert(0, std::string(Name(At(at))) + kPathSeparator);
  }
  return path;
}

const Folder& ExtractedTree::FolderOf(const TreeNode& node) {
  return Reach(node.parent);
}

std::shared_ptr<InputFile> ExtractedTree::Open(const TreeNode& node) {
  auto file = std::make_shared<InputFile>(FolderOf(node), Name(node));
  if (Replaced(node.id, file->id())) {
    throw FileError("cannot read", file->path(),
                    "it was replaced by another file while being read");
  }
  return file;
}

}  // namespace brimwald
