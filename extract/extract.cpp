#include "extract/extract.h"

#include <algorithm>
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
// Entries are written in batches grouped by folder: filesystems create
// files much faster one folder after another than spread over many, and a
// game's table often spreads them. Bounded, so memory stays flat.
constexpr size_t kBatchSize = 4096;

// The folder part of an entry name, for grouping.
std::string_view FolderPart(const std::string& name) {
  size_t cut = name.rfind('\\');
  return cut == std::string::npos ? std::string_view()
                                  : std::string_view(name).substr(0, cut);
}

// The lengths of the entry's three pieces, or the reason the first that
// can't be cut can't.
std::optional<std::array<int64_t, 3>> PieceLengths(const TableEntry& entry,
                                                   int64_t size,
                                                   std::string& why) {
  std::array<int64_t, 3> lengths;
  std::array<Piece, 3> pieces = Pieces(entry.Ranges);
  for (size_t i = 0; i < pieces.size(); ++i) {
    std::optional<int64_t> length =
        RangeLength(pieces[i].First, pieces[i].Last, size, &why);
    if (!length) {
      why = std::string(pieces[i].Name) + ": " + why;
      return std::nullopt;
    }
    lengths[i] = *length;
  }
  return lengths;
}

int64_t Total(const std::array<int64_t, 3>& lengths) {
  return lengths[0] + lengths[1] + lengths[2];
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
    while (ReadBatch(walk, result, progress)) {
      for (const TableEntry& entry : batch_) {
        Write(walk.container(), entry, result, progress);
        if (!listener_.Progress(progress)) {
          result.stopped = progress.entries_done < progress.entries_total;
          return result;
        }
      }
    }
    return result;
  }

 private:
  // Reads the next entries into batch_, grouped by folder, reporting the
  // broken ones; false at the end. Entries of one path keep their order,
  // so a later one still replaces an earlier one.
  bool ReadBatch(TableWalk& walk, ExtractResult& result,
                 ExtractProgress& progress) {
    batch_.clear();
    auto broken = [&](const Error& error) {
      ++result.failed;
      ++progress.entries_done;
      listener_.EntryFailed(walk.entry(), error);
    };
    while (batch_.size() < kBatchSize && walk.NextReadable(broken)) {
      batch_.push_back(walk.entry());
      batch_.back().RawName = {};  // not kept by the walk
    }
    std::stable_sort(batch_.begin(), batch_.end(),
                     [](const TableEntry& a, const TableEntry& b) {
                       return FolderPart(a.Name) < FolderPart(b.Name);
                     });
    return !batch_.empty();
  }

  void Write(StreamContainer& container, const TableEntry& entry,
             ExtractResult& result, ExtractProgress& progress) {
    ++progress.entries_done;
    try {
      progress.bytes_done += ExtractEntry(container, entry);
      ++result.written;
    } catch (const Error& error) {
      ++result.failed;
      listener_.EntryFailed(entry, error);
    }
  }

  int64_t TotalBytes() {
    TableWalk walk(selection_);
    int64_t total = 0;
    std::string why;
    // The extraction itself reports what this walk can't read.
    try {
      while (walk.NextReadable([](const Error&) {})) {
        std::optional<std::array<int64_t, 3>> lengths =
            PieceLengths(walk.entry(), walk.container().size(), why);
        if (lengths) total += Total(*lengths);
      }
    } catch (const Error&) {
    }
    return total;
  }

  // Writes one entry's file; returns its size.
  int64_t ExtractEntry(StreamContainer& container, const TableEntry& entry) {
    std::string why;
    std::optional<std::array<int64_t, 3>> lengths =
        PieceLengths(entry, container.size(), why);
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
      std::array<Piece, 3> pieces = Pieces(entry.Ranges);
      for (size_t i = 0; i < pieces.size(); ++i) {
        WritePiece(container, file, pieces[i].First, (*lengths)[i]);
      }
      file.Commit();
    } catch (...) {
      RemoveMadeFolders();
      throw;
    }
    return Total(*lengths);
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
  std::vector<TableEntry> batch_;
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
