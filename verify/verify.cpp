#include "verify/verify.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "extract/extract.h"
#include "io/folder.h"
#include "io/folder_entries.h"
#include "io/folder_listing.h"
#include "names/windows_path.h"
#include "verify/file_difference.h"
#include "verify/path_separator.h"

namespace brimwald {
namespace {

using Kind = VerifyFinding::Kind;

// The chosen entry that gives a path its content, as the extraction would
// write it: what comparing its file needs, and no more, so that a table
// of many entries stays small.
struct Expected {
  int32_t index = -1;
  PieceRanges ranges;
  std::array<int64_t, 3> lengths{};
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
  std::string decoded;
  std::vector<std::string_view> parts;
  SplitEntryPath(entry_name, decoded, parts);
  std::string spelled;
  for (std::string_view part : parts) {
    if (!spelled.empty()) spelled += kPathSeparator;
    spelled += part;
  }
  return spelled;
}

class Checker {
 public:
  Checker(const Selection& selection, const std::string& output_root,
          VerifyListener& listener, const EntryChoice& choice, TableWalk& walk,
          ExtractedTree& tree)
      : listener_(listener),
        choice_(choice),
        walk_(walk),
        root_(output_root.empty() ? selection.Directory : output_root),
        name_(ExtractFolderName(selection)),
        tree_(tree) {
    result_.folder = root_.PathOf(name_);
  }

  VerifyResult Run() {
    if (!ReadTree()) return result_;
    listener_.Listed();
    walk_.Rewind();
    try {
      while (walk_.Next()) Take(walk_.entry());
    } catch (const Error& error) {
      if (error.kind() != ErrorKind::kContainer) throw;
      result_.table_error = error;
    }
    CompareInEntryOrder();
    ReportTheRest();
    return result_;
  }

 private:
  // Lists the folder; false when it isn't there.
  bool ReadTree() {
    switch (NodeTypeAt(result_.folder)) {
      case NodeType::kMissing:
        result_.folder_missing = true;
        result_.problems = 1;
        return false;
      case NodeType::kFolder:
        // Opened as what the name is: a link swapped in is refused here.
        tree_ = ExtractedTree(root_.Child(name_, false));
        return true;
      case NodeType::kLink:
        throw FileError("cannot check", result_.folder,
                        "it is a symbolic link, which is never followed");
      default:
        throw FileError("cannot check", result_.folder, "it is not a folder");
    }
  }

  // Learns what `entry` leaves: its path, and its file if it is chosen and
  // can be extracted; otherwise the note that it can't.
  void Take(const TableEntry& entry) {
    Expected* owner = nullptr;
    if (!entry.NameLost) owner = &paths_[keys_.Of(entry.Name)];
    if (!choice_.Chooses(entry)) return;
    if (entry.Cuttable()) {
      if (owner != nullptr) *owner = {entry.Index, entry.Ranges, entry.Lengths};
      return;
    }
    VerifyFinding note = Finding(Kind::kNote, "", entry);
    note.why = EntryProblemError(walk_.container().path(), entry).what();
    notes_.push_back(std::move(note));
  }

  void CompareInEntryOrder() {
    std::vector<std::pair<const std::string*, const Expected*>> files;
    for (const auto& [key, expected] : paths_) {
      if (expected.index >= 0) files.emplace_back(&key, &expected);
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
      return a.second->index < b.second->index;
    });
    auto note = notes_.begin();
    for (const auto& [key, expected] : files) {
      for (; note != notes_.end() && note->index < expected->index; ++note) {
        Report(*note);
      }
      ++result_.checked;
      Compare(*key, *expected);
    }
    for (; note != notes_.end(); ++note) Report(*note);
  }

  void Compare(const std::string& key, const Expected& expected) {
    const TreeNode* node = tree_.Find(key);
    if (node == nullptr) {
      VerifyFinding finding = Finding(Kind::kMissing, "", expected.index);
      finding.path =
          result_.folder + kPathSeparator + SpelledPath(finding.name);
      return Report(finding);
    }
    claimed_.insert(Index(*node));
    VerifyFinding finding =
        Finding(Kind::kMissing, PathOf(*node), expected.index);
    if (node->type != NodeType::kFile) {
      finding.why = InsteadOfAFile(node->type);
      return Report(finding);
    }
    // Each regular spelling of the path: whichever differs is an edit, and
    // with two of them, which one is meant can't be told.
    const TreeNode* first = tree_.FirstSpelling(key);
    const bool ambiguous = first->next_spelling >= 0;
    for (const TreeNode* each = first; each != nullptr; each = Next(*each)) {
      if (each->type != NodeType::kFile) continue;
      finding.path = PathOf(*each);
      finding.node = static_cast<int32_t>(Index(*each));
      CompareFile(*each, expected, finding);
      if (finding.kind != Kind::kMissing) {
        finding.ambiguous = ambiguous;
        Report(finding);
        finding.kind = Kind::kMissing;
        finding.file.reset();
      }
    }
  }

  // Sets `finding` to what comparing the file of `node` found; leaves it
  // kMissing when the file holds what it should.
  void CompareFile(const TreeNode& node, const Expected& expected,
                   VerifyFinding& finding) {
    try {
      std::shared_ptr<InputFile> file = tree_.Open(node);
      std::optional<FileDifference> difference = comparison_.Compare(
          walk_.container(), expected.ranges, expected.lengths, *file);
      if (!difference) return;
      finding.kind = Kind::kDiffers;
      finding.offset = difference->offset;
      finding.size = difference->size;
      finding.expected_size = difference->expected_size;
      finding.file = std::move(file);
    } catch (const Error& error) {
      if (error.kind() != ErrorKind::kFile) throw;
      finding.kind = Kind::kUnreadable;
      finding.why = error.what();
    }
  }

  // The links not yet reported, the second spellings and the strays.
  void ReportTheRest() {
    const std::vector<TreeNode>& nodes = tree_.nodes();
    for (const TreeNode& node : nodes) {
      if (node.type == NodeType::kLink) {
        if (!claimed_.contains(Index(node))) {
          Report(Finding(Kind::kLink, PathOf(node)));
        }
      } else if (node.duplicate && !SecondFolder(node)) {
        VerifyFinding finding = Finding(Kind::kDuplicate, PathOf(node));
        const TreeNode* first = tree_.Find(node.key);
        finding.other = first != nullptr ? PathOf(*first)
                                         : result_.folder + kPathSeparator +
                                               TrimWindowsParts(node.path);
        Report(finding);
      } else if (IsStray(node)) {
        Report(Finding(Kind::kStray, PathOf(node)));
      }
    }
  }

  // A folder whose key a folder Windows could hold has already: the same
  // folder to Windows, whose files are found by their own keys.
  bool SecondFolder(const TreeNode& node) const {
    const TreeNode* first = tree_.Find(node.key);
    return node.type == NodeType::kFolder && first != nullptr &&
           first != &node && first->type == NodeType::kFolder &&
           TrimWindowsPart(node.name()) == node.name();
  }

  // A .qvstr file whose path no entry has. After a broken table, the
  // entries that would have one are unknown.
  bool IsStray(const TreeNode& node) const {
    return node.type != NodeType::kFolder && !result_.table_error &&
           EndsWithIgnoringCase(node.path, ".qvstr") &&
           !paths_.contains(node.key);
  }

  const TreeNode* Next(const TreeNode& node) const {
    if (node.next_spelling < 0) return nullptr;
    return &tree_.nodes()[static_cast<size_t>(node.next_spelling)];
  }

  size_t Index(const TreeNode& node) const {
    return static_cast<size_t>(&node - tree_.nodes().data());
  }

  // A finding about entry `index`, which gives a path its file, so has a
  // name: read again, as only a few entries have findings and keeping
  // every name would cost memory.
  VerifyFinding Finding(Kind kind, std::string path, int32_t index) {
    VerifyFinding finding = Finding(kind, std::move(path));
    finding.index = index;
    finding.name = walk_.NameAt(index);
    return finding;
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

  VerifyListener& listener_;
  const EntryChoice& choice_;
  TableWalk& walk_;
  Folder root_;
  std::string name_;
  ExtractedTree& tree_;
  VerifyResult result_;
  std::unordered_set<size_t> claimed_;  // nodes claimed by an entry
  // Every path of the container's entries, chosen or not, with the file
  // that the extraction of the chosen ones leaves there (index -1: none).
  std::unordered_map<std::string, Expected> paths_;
  EntryPathKeys keys_;
  std::vector<VerifyFinding> notes_;  // in entry order
  EntryFileComparison comparison_;
};

}  // namespace

VerifyResult Verify(const Selection& selection, const std::string& output_root,
                    VerifyListener& listener, const EntryChoice& choice) {
  TableWalk walk(selection);
  ExtractedTree tree;
  return Checker(selection, output_root, listener, choice, walk, tree).Run();
}

VerifyResult VerifyTree(const Selection& selection,
                        const std::string& output_root,
                        VerifyListener& listener, TableWalk& walk,
                        ExtractedTree& tree) {
  const EntryChoice every;
  return Checker(selection, output_root, listener, every, walk, tree).Run();
}

}  // namespace brimwald
