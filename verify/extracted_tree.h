// What lies below an extraction folder, found by the key Windows would find
// it by: each part's PartKey, joined by "\" (names/windows_path.h), so that
// every spelling that differs only in ASCII letter case reaches one file,
// as on Windows. The one reader of such a tree, for the check and for the
// write-back: it lists the tree through open folders without following a
// link, and opens each file the same way, checked to be the very file
// listed.

#ifndef BRIMWALD_VERIFY_EXTRACTED_TREE_H_
#define BRIMWALD_VERIFY_EXTRACTED_TREE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "io/folder.h"
#include "io/folder_entries.h"
#include "io/input_file.h"

namespace brimwald {

/// One file, folder, link or other node below the folder.
struct TreeNode {
  /// Its key, held once by the tree.
  const std::string* key = nullptr;
  FileId id;
  /// The node of the folder that holds it; -1 for the top folder.
  int32_t parent = -1;
  /// Where its name lies in the tree's names: ExtractedTree::Name().
  uint32_t name_at = 0;
  uint32_t name_size = 0;
  /// Another spelling of its key, later in path order; -1 when none.
  int32_t next_spelling = -1;
  NodeType type;
  /// Whether Windows can't hold it as the node of its key: an earlier
  /// node (in path order) has the key, or its name or a folder's above it
  /// ends in a dot or a space, which Windows drops. (Two spellings of a
  /// folder are one folder to Windows, which finds each file below either
  /// by its own key.)
  bool duplicate = false;
};

class ExtractedTree {
 public:
  /// An empty tree, for a folder that isn't there.
  ExtractedTree() = default;

  /// Lists everything below `top`, which it keeps open, making room for
  /// about `expected` nodes at once (so that a large tree is never held
  /// twice while it grows). Throws Error (kFile) when a folder can't be
  /// listed or was replaced meanwhile.
  ExtractedTree(Folder top, size_t expected);

  /// The file of `key`: the first node (in path order) of that key that
  /// Windows could hold; nullptr when there is none.
  const TreeNode* Find(const std::string& key) const;

  /// The first node (in path order) of `key`, whether Windows could hold
  /// it or not; the others follow by next_spelling. nullptr when none.
  const TreeNode* FirstSpelling(const std::string& key) const;

  /// Every node, in path order (bytes, each folder before what it holds).
  const std::vector<TreeNode>& nodes() const { return nodes_; }

  /// The name of `node` in its folder.
  std::string_view Name(const TreeNode& node) const {
    return std::string_view(names_).substr(node.name_at, node.name_size);
  }

  /// The path of `node` relative to the top folder, the system's separator
  /// between the parts.
  std::string Path(const TreeNode& node) const;

  /// Opens the regular file of `node` for reading through the folders it
  /// was listed in, following no link; each folder and the file must be
  /// the very one listed. Throws Error (kFile) naming the file otherwise.
  std::shared_ptr<InputFile> Open(const TreeNode& node);

  /// The open folder that holds `node`, reached as Open() reaches it.
  const Folder& FolderOf(const TreeNode& node);

  /// A number the caller keeps for a key, -1 until it sets one, and the
  /// key as the tree holds it.
  struct Slot {
    const std::string* key;
    int32_t* value;
  };

  /// The slot of `key` when some node has that key; nulls when none has.
  /// The check keeps there what it expects of the key's file, so that it
  /// holds no key twice.
  Slot SlotOf(const std::string& key);

 private:
  void List(const Folder& folder, int32_t parent, bool shadowed);
  const Folder& Reach(int32_t folder_node);
  const TreeNode& At(int32_t index) const {
    return nodes_[static_cast<size_t>(index)];
  }

  std::optional<Folder> top_;
  std::vector<TreeNode> nodes_;
  std::string names_;  // every node's name, one after the other
  // For each key: the first node that Windows could hold (-1: none), and
  // the first and last node of any spelling, for chaining them.
  struct Spellings {
    int32_t held = -1;
    int32_t first = -1;
    int32_t last = -1;
    int32_t slot = -1;
  };
  std::unordered_map<std::string, Spellings> keys_;
  // The folders open from the top down, each with its node.
  std::vector<std::pair<int32_t, Folder>> chain_;
};

}  // namespace brimwald

#endif  // BRIMWALD_VERIFY_EXTRACTED_TREE_H_
