#include "verify/extracted_tree.h"

#include <algorithm>

#include "names/windows_path.h"
#include "verify/path_separator.h"

namespace brimwald {
namespace {

std::string Joined(const std::string& head, const std::string& tail,
                   char separator) {
  return head.empty() ? tail : head + separator + tail;
}

}  // namespace

ExtractedTree::ExtractedTree(const std::string& path) { List(path, "", ""); }

const TreeNode* ExtractedTree::Find(const std::string& key) const {
  auto found = first_of_key_.find(key);
  return found == first_of_key_.end() ? nullptr : &nodes_[found->second];
}

void ExtractedTree::List(const std::string& folder, const std::string& path,
                         const std::string& key) {
  std::vector<FolderEntry> entries = ListFolderEntries(folder);
  // Sorted, so that which of two spellings comes first never depends on
  // the order the system lists them in.
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) {
              return a.name < b.name;
            });
  for (FolderEntry& entry : entries) {
    TreeNode node{Joined(path, entry.name, kPathSeparator),
                  Joined(key, PartKey(entry.name), '\\'), entry.type};
    node.duplicate = !first_of_key_.try_emplace(node.key, nodes_.size()).second;
    nodes_.push_back(node);
    if (entry.type == NodeType::kFolder) {
      List(folder + kPathSeparator + entry.name, node.path, node.key);
    }
  }
}

}  // namespace brimwald
