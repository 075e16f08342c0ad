#include "verify/verify.h"

#include <algorithm>
#include <array>
#include <unordered_map>
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
  const std::string* key;  // held by the tree, or by the missing paths

  std::array<int64_t, 3> Lengths() const {
    return {int64_t{ranges.RecordLast} - ranges.RecordFirst + 1,
            int64_t{ranges.HeaderLast} - ranges.HeaderFirst + 1,
            int64_t{ranges.BodyLast} - ranges.BodyFirst + 1};
  }
};

// What a path's slot holds besides an index into the expected files.
constexpr int32_t kNoEntry = -1;      // no entry has the path
constexpr int32_t kNoFileThere = -2;  // entries have it, none leaves a file

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
    claimed_.assign(tree_.nodes().size(), false);
    expected_.reserve(MostEntries());
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
        tree_ = ExtractedTree(root_.Child(name_, false), MostEntries());
        return true;
      case NodeType::kLink:
        throw FileError("cannot check", result_.folder,
                        "it is a symbolic link, which is never followed");
      default:
        throw FileError("cannot check", result_.folder, "it is not a folder");
    }
  }

  // A tree that a fresh extraction left has a file for each entry, and a
  // folder for some: room for them at once. A table can't hold more
  // records than the container has room for, whatever its header claims.
  size_t MostEntries() const {
    return static_cast<size_t>(
        std::min<int64_t>(walk_.count(), walk_.container().size() / 72 + 1) +
        64);
  }

  // Learns what `entry` leaves: its path, and its file if it is chosen and
  // can be extracted; otherwise the note that it can't.
  void Take(const TableEntry& entry) {
    const bool chosen = choice_.Chooses(entry);
    if (!entry.NameLost) {
      ExtractedTree::Slot slot = SlotOf(keys_.Of(entry.Name));
      if (*slot.value == kNoEntry) *slot.value = kNoFileThere;
      if (chosen && entry.Cuttable()) {
        Expected expected{entry.Index, entry.Ranges, slot.key};
        if (*slot.value >= 0) {
          expected_[static_cast<size_t>(*slot.value)] = expected;
        } else {
          *slot.value = static_cast<int32_t>(expected_.size());
          expected_.push_back(expected);
        }
      }
    }
    if (!chosen || entry.Cuttable()) return;
    VerifyFinding note = Finding(Kind::kNote, "", entry);
    note.why = EntryProblemError(walk_.container().path(), entry).what();
    notes_.push_back(std::move(note));
  }

  // The slot of `key`: the tree's when a node has it, else one of its own.
  ExtractedTree::Slot SlotOf(const std::string& key) {
    ExtractedTree::Slot slot = tree_.SlotOf(key);
    if (slot.key != nullptr) return slot;
    auto missing = missing_.try_emplace(key, kNoEntry).first;
    return {&missing->first, &missing->second};
  }

  void CompareInEntryOrder() {
    std::sort(
        expected_.begin(), expected_.end(),
        [](const Expected& a, const Expected& b) { return a.index < b.index; });
    auto note = notes_.begin();
    for (const Expected& expected : expected_) {
      for (; note != notes_.end() && note->index < expected.index; ++note) {
        Report(*note);
      }
      ++result_.checked;
      Compare(*expected.key, expected);
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
    claimed_[Index(*node)] = true;
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
          walk_.container(), expected.ranges, expected.Lengths(), *file);
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
        if (!claimed_[Index(node)]) {
          Report(Finding(Kind::kLink, PathOf(node)));
        }
      } else if (node.duplicate && !SecondFolder(node)) {
        VerifyFinding finding = Finding(Kind::kDuplicate, PathOf(node));
        const TreeNode* first = tree_.Find(*node.key);
        finding.other = first != nullptr
                            ? PathOf(*first)
                            : result_.folder + kPathSeparator +
                                  TrimWindowsParts(tree_.Path(node));
        Report(finding);
      } else if (IsStray(node)) {
        Report(Finding(Kind::kStray, PathOf(node)));
      }
    }
  }

  // A folder whose key a folder Windows could hold has already: the same
  // folder to Windows, whose files are found by their own keys.
  bool SecondFolder(const TreeNode& node) const {
    const TreeNode* first = tree_.Find(*node.key);
    return node.type == NodeType::kFolder && first != nullptr &&
           first != &node && first->type == NodeType::kFolder &&
           TrimWindowsPart(tree_.Name(node)) == tree_.Name(node);
  }

  // A .qvstr file whose path no entry has. After a broken table, the
  // entries that would have one are unknown.
  bool IsStray(const TreeNode& node) {
    return node.type != NodeType::kFolder && !result_.table_error &&
           EndsWithIgnoringCase(tree_.Name(node), ".qvstr") &&
           *tree_.SlotOf(*node.key).value == kNoEntry;
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
    return result_.folder + kPathSeparator + tree_.Path(node);
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
  std::vector<bool> claimed_;  // nodes claimed by an entry, as their file
  // The file of each path that the extraction of the chosen entries
  // leaves, one per path, found by the path's slot.
  std::vector<Expected> expected_;
  // The slots of the paths no node of the tree has.
  std::unordered_map<std::string, int32_t> missing_;
  EntryPathKeys keys_;
  std::vector<VerifyFinding> notes_;  // in entry order
  EntryFileComparison comparison_;
};

}  // namespace

const char* KindName(VerifyFinding::Kind kind) {
  switch (kind) {
    case Kind::kMissing:
      return "missing";
    case Kind::kDiffers:
      return "differs";
    case Kind::kUnreadable:
      return "unreadable";
    case Kind::kStray:
      return "stray";
    case Kind::kLink:
      return "link";
    case Kind::kDuplicate:
      return "duplicate";
    case Kind::kNote:
      return "note";
  }
  return "";
}

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
