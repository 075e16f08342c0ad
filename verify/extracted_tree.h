// What lies below an extraction folder, found by the key Windows would find
// it by: each part's PartKey, joined by "\" (names/windows_path.h), so that
// every spelling that differs only in ASCII letter case reaches one file,
// as on Windows. Links are listed as links and never followed.

#ifndef BRIMWALD_VERIFY_EXTRACTED_TREE_H_
#define BRIMWALD_VERIFY_EXTRACTED_TREE_H_

#include <string>
#include <unordered_map>
#include <vector>

#include "io/folder_entries.h"

namespace brimwald {

/// One file, folder, link or other node below the folder.
struct TreeNode {
  /// Relative to the folder, the system's separator between the parts.
  std::string path;
  std::string key;
  NodeType type;
  /// Whether an earlier node (in path order) has the same key: a second
  /// spelling, which Windows can't hold beside the first.
  bool duplicate = false;
};

class ExtractedTree {
 public:
  /// An empty tree, for a folder that isn't there.
  ExtractedTree() = default;

  /// Lists everything below the folder at `path`, which must be one.
  /// Throws Error (kFile) when a folder can't be listed.
  explicit ExtractedTree(const std::string& path);

  /// The first node (in path order) of `key`; nullptr when there is none.
  const TreeNode* Find(const std::string& key) const;

  /// Every node, in path order (bytes, each folder before what it holds).
  const std::vector<TreeNode>& nodes() const { return nodes_; }

 private:
  void List(const std::string& folder, const std::string& path,
            const std::string& key);

  std::vector<TreeNode> nodes_;
  std::unordered_map<std::string, size_t> first_of_key_;
};

}  // namespace brimwald

#endif  // BRIMWALD_VERIFY_EXTRACTED_TREE_H_
