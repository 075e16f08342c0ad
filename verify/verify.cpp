#include "verify/verify.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

#include "extract/extract.h"
#include "extract/piece_lengths.h"
#include "io/folder.h"
#include "io/folder_entries.h"
#include "io/folder_listing.h"
#include "names/windows_path.h"
#include "table/table_walk.h"
#include "text/script_encoding.h"
#include "verify/extracted_tree.h"
#include "verify/file_difference.h"
#include "verify/path_separator.h"

namespace brimwald {
namespace {

using Kind = VerifyFinding::Kind;

// The chosen entry that gives a path its content, as the extraction would
// write it.
struct Expected {
  TableEntry entry;
  std::array<int64_t, 3> lengths;
};

// What stands where a file should be, when it isn't a regular file.
const char* InsteadOfAFile(NodeType type) {
  switch (type) {
    case NodeType::kFolder:
      return "a folder stands there";
    case NodeType::kLink:
      return "a symbolic link stands there, which is never followed";
    default:
      return "something other than a regular file stands there";
  }
}

// The entry's file as the extraction spells it, below its folder.
std::string SpelledPath(const std::string& entry_name) {
  std::string path = DecodeFromScript(entry_name) + ".qvstr";
  std::vector<std::string_view> parts;
  SplitWindowsPath(path, parts);
  std::string spelled;
  for (std::string_view part : parts) {
    if (!spelled.empty()) spelled += kPathSeparator;
    spelled += part;
  }
  return spelled;
}

// The tree below the folder at `path`: empty when there is no folder.
ExtractedTree TreeAt(const std::string& path) {
  switch (NodeTypeAt(path)) {
    case NodeType::kMissing:
      return ExtractedTree();
    case NodeType::kFolder:
      return ExtractedTree(path);
    case NodeType::kLink:
      throw FileError("cannot check", path,
                      "it is a symbolic link, which is never followed");
    default:
      throw FileError("cannot check", path, "it is not a folder");
  }
}

class Checker {
 public:
  Checker(const Selection& selection, const std::string& output_root,
          VerifyListener& listener, const EntryChoice& choice)
      : selection_(selection), listener_(listener), choice_(choice) {
    Folder root(output_root.empty() ? selection.Directory : output_root);
    result_.folder = root.PathOf(ExtractFolderName(selection));
  }

  VerifyResult Run() {
    tree_ = TreeAt(result_.folder);
    claimed_.assign(tree_.nodes().size(), false);
    TableWalk walk(selection_);
    try {
      while (walk.Next()) Take(walk.container(), walk.entry());
    } catch (const Error& error) {
      if (error.kind() != ErrorKind::kContainer) throw;
      result_.table_error = error;
    }
    CompareInEntryOrder(walk.container());
    ReportTheRest();
    return result_;
  }

 private:
  // Learns what `entry` leaves: its path, and its file if it is chosen and
  // can be extracted; otherwise the note that it can't.
  void Take(const StreamContainer& container, const TableEntry& entry) {
    const bool chosen = choice_.Chooses(entry);
    std::optional<Expected>* owner = nullptr;
    if (!entry.NameLost) owner = &paths_[EntryPathKey(entry.Name)];
    if (!chosen) return;
    try {
      std::array<int64_t, 3> lengths = PieceLengths(container, entry);
      Expected expected{entry, lengths};
      expected.entry.RawName = {};  // valid only until the next step
      if (owner != nullptr) *owner = std::move(expected);
    } catch (const Error& error) {
      if (error.kind() != ErrorKind::kEntry) throw;
      VerifyFinding note = Finding(Kind::kNote, "", entry);
      note.why = error.what();
      notes_.push_back(std::move(note));
    }
  }

  void CompareInEntryOrder(StreamContainer& container) {
    std::vector<std::pair<const std::string*, const Expected*>> files;
    for (const auto& [key, expected] : paths_) {
      if (expected) files.emplace_back(&key, &*expected);
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
      return a.second->entry.Index < b.second->entry.Index;
    });
    auto note = notes_.begin();
    for (const auto& [key, expected] : files) {
      for (; note != notes_.end() && note->index < expected->entry.Index;
           ++note) {
        Report(*note);
      }
      ++result_.checked;
      Compare(container, *key, *expected);
    }
    for (; note != notes_.end(); ++note) Report(*note);
  }

  void Compare(StreamContainer& container, const std::string& key,
               const Expected& expected) {
    const TreeNode* node = tree_.Find(key);
    if (node == nullptr) {
      return Report(Finding(
          Kind::kMissing,
          result_.folder + kPathSeparator + SpelledPath(expected.entry.Name),
          expected.entry));
    }
    claimed_[static_cast<size_t>(node - tree_.nodes().data())] = true;
    VerifyFinding finding =
        Finding(Kind::kMissing, PathOf(*node), expected.entry);
    if (node->type != NodeType::kFile) {
      finding.why = InsteadOfAFile(node->type);
      return Report(finding);
    }
    try {
      std::optional<FileDifference> difference = comparison_.Compare(
          container, expected.entry, expected.lengths, finding.path);
      if (!difference) return;
      finding.kind = Kind::kDiffers;
      finding.offset = difference->offset;
      finding.size = difference->size;
      finding.expected_size = difference->expected_size;
    } catch (const Error& error) {
      if (error.kind() != ErrorKind::kFile) throw;
      finding.kind = Kind::kUnreadable;
      finding.why = error.what();
    }
    Report(finding);
  }

  // The links not yet reported, the second spellings and the strays.
  void ReportTheRest() {
    const std::vector<TreeNode>& nodes = tree_.nodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
      const TreeNode& node = nodes[i];
      if (node.type == NodeType::kLink) {
        if (!claimed_[i]) Report(Finding(Kind::kLink, PathOf(node)));
      } else if (node.duplicate && node.type != NodeType::kFolder) {
        VerifyFinding finding = Finding(Kind::kDuplicate, PathOf(node));
        finding.other = PathOf(*tree_.Find(node.key));
        Report(finding);
      } else if (IsStray(node)) {
        Report(Finding(Kind::kStray, PathOf(node)));
      }
    }
  }

  // A .qvstr file whose path no entry has. After a broken table, the
  // entries that would have one are unknown.
  bool IsStray(const TreeNode& node) const {
    return node.type != NodeType::kFolder && !result_.table_error &&
           EndsWithIgnoringCase(node.path, ".qvstr") &&
           !paths_.contains(node.key);
  }

  static VerifyFinding Finding(Kind kind, std::string path,
                               const TableEntry& entry) {
    VerifyFinding finding = Finding(kind, std::move(path));
    finding.index = entry.Index;
    finding.name = entry.Name;
    finding.name_lost = entry.NameLost;
    return finding;
  }

  static VerifyFinding Finding(Kind kind, std::string path) {
    VerifyFinding finding;
    finding.kind = kind;
    finding.path = std::move(path);
    return finding;
  }

  std::string PathOf(const TreeNode& node) const {
    return result_.folder + kPathSeparator + node.path;
  }

  void Report(const VerifyFinding& finding) {
    if (finding.kind == Kind::kNote) {
      ++result_.notes;
    } else {
      ++result_.problems;
    }
    listener_.Found(finding);
  }

  const Selection& selection_;
  VerifyListener& listener_;
  const EntryChoice& choice_;
  VerifyResult result_;
  ExtractedTree tree_;
  std::vector<bool> claimed_;  // by an entry, as its file
  // Every path of the container's entries, chosen or not, with the file
  // that the extraction of the chosen ones leaves there.
  std::unordered_map<std::string, std::optional<Expected>> paths_;
  std::vector<VerifyFinding> notes_;  // in entry order
  EntryFileComparison comparison_;
};

}  // namespace

VerifyResult Verify(const Selection& selection, const std::string& output_root,
                    VerifyListener& listener, const EntryChoice& choice) {
  return Checker(selection, output_root, listener, choice).Run();
}

}  // namespace brimwald
