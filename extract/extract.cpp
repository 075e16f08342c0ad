#include "extract/extract.h"

#include <span>
#include <unordered_map>
#include <vector>

#include "cut/cut_range.h"
#include "io/atomic_file.h"
#include "io/folder.h"
#include "names/windows_path.h"
#include "text/script_encoding.h"

namespace brimwald {
namespace {

// Pieces up to this size are read through the container's block cache and
// written with the others in one go; larger ones are copied in the kernel.
constexpr int64_t kSmallPiece = 64 * 1024;
// Open folders kept for the next entries: enough for a game's folder tree,
// few enough to stay far below the open-file limit.
constexpr size_t kMaxOpenFolders = 256;

struct Lengths {
  int64_t header = 0;
  int64_t body = 0;
  int64_t total() const { return kVfsRecordSize + header + body; }
};

// The lengths of the entry's pieces, or the reason the first can't be cut.
std::optional<Lengths> PieceLengths(const TableEntry& entry, int64_t size,
                                    std::string& why) {
  const PieceRanges& r = entry.Ranges;
  std::optional<int64_t> header =
      RangeLength(r.HeaderFirst, r.HeaderLast, size, &why);
  if (!header) {
    why = "header: " + why;
    return std::nullopt;
  }
  std::optional<int64_t> body =
      RangeLength(r.BodyFirst, r.BodyLast, size, &why);
  if (!body) {
    why = "body: " + why;
    return std::nullopt;
  }
  return Lengths{*header, *body};
}

class Extractor {
 public:
  Extractor(const Selection& selection, const std::string& output_root,
            ExtractListener& listener)
      : selection_(selection),
        listener_(listener),
        root_(output_root.empty() ? selection.Directory : output_root) {}

  ExtractResult Run() {
    ExtractResult result;
    TableWalk walk(selection_);
    ExtractProgress progress;
    progress.entries_total = walk.count();
    if (listener_.WantsTotals()) progress.bytes_total = TotalBytes();
    const std::string folder_name = ExtractFolderName(selection_);
    result.folder = root_.PathOf(folder_name);
    folders_.emplace("", root_.Child(folder_name, true));
    while (Step(walk, result, progress)) {
      if (!listener_.Progress(progress)) {
        result.stopped = progress.entries_done < progress.entries_total;
        break;
      }
    }
    return result;
  }

 private:
  // Extracts the walk's next entry; false at the end.
  bool Step(TableWalk& walk, ExtractResult& result, ExtractProgress& progress) {
    auto broken = [&](const Error& error) {
      ++result.failed;
      ++progress.entries_done;
      listener_.EntryFailed(walk.entry(), error);
    };
    if (!walk.NextReadable(broken)) return false;
    const TableEntry& entry = walk.entry();
    ++progress.entries_done;
    try {
      progress.bytes_done += ExtractEntry(walk.container(), entry);
      ++result.written;
    } catch (const Error& error) {
      ++result.failed;
      listener_.EntryFailed(entry, error);
    }
    return true;
  }

  int64_t TotalBytes() {
    TableWalk walk(selection_);
    int64_t total = 0;
    std::string why;
    // The extraction itself reports what this walk can't read.
    try {
      while (walk.NextReadable([](const Error&) {})) {
        std::optional<Lengths> lengths =
            PieceLengths(walk.entry(), walk.container().size(), why);
        if (lengths) total += lengths->total();
      }
    } catch (const Error&) {
    }
    return total;
  }

  // Writes one entry's file; returns its size.
  int64_t ExtractEntry(StreamContainer& container, const TableEntry& entry) {
    std::string why;
    std::optional<Lengths> lengths = PieceLengths(entry, container.size(), why);
    if (!lengths) throw EntryError(container.path(), entry.Index, why);
    // The name the command interpreter reads in the script's bytes.
    path_ = DecodeFromScript(entry.Name);
    path_ += ".qvstr";
    SplitWindowsPath(path_, parts_);
    if (folders_.size() > kMaxOpenFolders) {
      Folder top = std::move(folders_.at(""));
      folders_.clear();
      folders_.emplace("", std::move(top));
    }
    made_.clear();
    try {
      const Folder& folder = FolderFor(parts_.size() - 1);
      AtomicFile file(folder, std::string(parts_.back()));
      WritePiece(container, file, entry.Ranges.RecordFirst, kVfsRecordSize);
      WritePiece(container, file, entry.Ranges.HeaderFirst, lengths->header);
      WritePiece(container, file, entry.Ranges.BodyFirst, lengths->body);
      file.Commit();
    } catch (...) {
      RemoveMadeFolders();
      throw;
    }
    return lengths->total();
  }

  void WritePiece(StreamContainer& container, AtomicFile& file, int32_t first,
                  int64_t length) {
    if (length > kSmallPiece) {
      file.CopyFrom(container.file(), first, length);
      return;
    }
    piece_.resize(static_cast<size_t>(length));
    container.ReadBytes(first, piece_.size(), piece_.data());
    file.Write(piece_);
  }

  // The folder of the first `depth` parts below the output folder, made
  // where missing.
  const Folder& FolderFor(size_t depth) {
    std::string key = Key(depth);
    auto found = folders_.find(key);
    if (found != folders_.end()) return found->second;
    const Folder& parent = FolderFor(depth - 1);
    bool made = false;
    Folder child = parent.Child(parts_[depth - 1], true, &made);
    if (made) made_.push_back(key);
    return folders_.emplace(std::move(key), std::move(child)).first->second;
  }

  std::string Key(size_t depth) const {
    std::string key;
    for (size_t i = 0; i < depth; ++i) {
      if (i > 0) key += '\\';
      key += parts_[i];
    }
    return key;
  }

  // A failed entry leaves no folder it made either.
  void RemoveMadeFolders() {
    for (auto made = made_.rbegin(); made != made_.rend(); ++made) {
      size_t cut = made->rfind('\\');
      std::string parent = cut == std::string::npos ? "" : made->substr(0, cut);
      std::string name =
          cut == std::string::npos ? *made : made->substr(cut + 1);
      folders_.erase(*made);
      auto found = folders_.find(parent);
      if (found != folders_.end()) found->second.RemoveEmptyChild(name);
    }
    made_.clear();
  }

  const Selection& selection_;
  ExtractListener& listener_;
  Folder root_;
  std::unordered_map<std::string, Folder> folders_;  // "" is EXT_<BaseName>
  std::vector<std::string> made_;  // folders made for the current entry
  std::string path_;
  std::vector<std::string_view> parts_;
  std::string piece_;
};

}  // namespace

std::string ExtractFolderName(const Selection& selection) {
  return std::string(TrimWindowsPart("EXT_" + selection.BaseName));
}

ExtractResult Extract(const Selection& selection,
                      const std::string& output_root,
                      ExtractListener& listener) {
  return Extractor(selection, output_root, listener).Run();
}

}  // namespace brimwald
