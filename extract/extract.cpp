#include "extract/extract.h"

#include <array>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "io/atomic_file.h"
#include "io/folder.h"
#include "io/folder_entries.h"
#include "io/made_folders.h"
#include "names/windows_path.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

// Pieces up to this size are read through the container's block cache and
// written with the others in one go; larger ones are copied in the kernel.
constexpr int64_t kSmallPiece = 64 * 1024;

// How the paths below the output folder are spelled, as Windows keeps
// them: a file or folder is named by the first spelling that made it, and
// any spelling that differs only in ASCII letter case reaches it. Keys are
// PartKeys joined by "\"; "" is the output folder itself.
class Spellings {
 public:
  /// The spelling of `part` in the folder `folder_key`, or `part` itself
  /// when nothing there has its key yet.
  std::string Of(const std::string& folder_key, std::string_view part,
                 std::string& key) const {
    Join(folder_key, part, key);
    auto found = spelled_.find(key);
    return found != spelled_.end() ? found->second.spelling : std::string(part);
  }

  /// Records that `key` is spelled `spelling`, unless it is known already;
  /// says whether it was new.
  bool Add(const std::string& key, std::string_view spelling) {
    return Record(key, spelling).second;
  }

  /// Records that this run wrote the file `key`, spelled `spelling`; says
  /// whether it had written it before, for an earlier entry.
  bool Wrote(const std::string& key, std::string_view spelling) {
    return std::exchange(Record(key, spelling).first->written, true);
  }

  void Forget(const std::string& key) { spelled_.erase(key); }

  /// Whether the folder `folder_key` is still to be learned.
  bool Unknown(const std::string& folder_key) const {
    return !learned_.contains(folder_key);
  }

  /// Takes in what the existing `folder` of `folder_key` holds, once: a
  /// folder this run didn't make may hold files and folders already.
  void Learn(const std::string& folder_key, const Folder& folder) {
    if (!learned_.insert(folder_key).second) return;
    std::string key;
    for (FolderEntry& entry : ListFolderEntries(folder)) {
      Join(folder_key, entry.name, key);
      spelled_.try_emplace(key, Spelled{std::move(entry.name)});
    }
  }

  /// The folder `folder_key` was made by this run: it held nothing.
  void Made(const std::string& folder_key) { learned_.insert(folder_key); }

 private:
  // Sets `key` to the key of `part` in the folder `folder_key`, in the
  // room `key` has already.
  static void Join(const std::string& folder_key, std::string_view part,
                   std::string& key) {
    key = folder_key;
    if (!key.empty()) key += '\\';
    AppendPartKey(key, part);
  }

  struct Spelled {
    std::string spelling;
    bool written = false;  // as a file, by this run
  };

  // The record of `key`, made spelled `spelling` when there was none (the
  // spelling is copied only then); and whether it was made.
  std::pair<Spelled*, bool> Record(const std::string& key,
                                   std::string_view spelling) {
    auto [record, made] = spelled_.try_emplace(key);
    if (made) record->second.spelling = spelling;
    return {&record->second, made};
  }

  std::unordered_map<std::string, Spelled> spelled_;
  std::unordered_set<std::string> learned_;
};

class Extractor {
 public:
  Extractor(const Selection& selection, const std::string& output_root,
            ExtractListener& listener, const EntryChoice& choice)
      : selection_(selection),
        listener_(listener),
        choice_(choice),
        root_(output_root.empty() ? selection.Directory : output_root),
        folder_name_(ExtractFolderName(selection)) {}

  ExtractResult Run() {
    TableWalk walk(selection_);
    ExtractProgress progress;
    progress.entries_total = walk.count();
    if (listener_.WantsTotals()) Totals(progress);
    result_.folder = root_.PathOf(folder_name_);
    bool made = false;
    root_.Child(folder_name_, true, &made);
    if (made) spellings_.Made("");
    try {
      while (walk.Next()) {
        if (!choice_.Chooses(walk.entry())) continue;
        Write(walk.container(), walk.entry(), progress);
        if (!listener_.Progress(progress)) {
          result_.stopped = progress.entries_done < progress.entries_total;
          break;
        }
      }
    } catch (const Error& error) {
      if (error.kind() != ErrorKind::kContainer) throw;
      result_.table_error = error;
    }
    // An extraction that wrote none of its entries leaves no folder it
    // made; an empty table leaves the empty folder, as its script does.
    if (made && result_.written == 0 && walk.count() > 0) {
      root_.RemoveEmptyChild(folder_name_);
    }
    return result_;
  }

 private:
  void Write(StreamContainer& container, const TableEntry& entry,
             ExtractProgress& progress) {
    ++progress.entries_done;
    if (!entry.Cuttable()) {
      ++result_.failed;
      listener_.EntryFailed(entry, EntryProblemError(container.path(), entry));
      return;
    }
    try {
      progress.bytes_done += ExtractEntry(container, entry);
      ++result_.written;
    } catch (const Error& error) {
      // What stood in the way of its file: a link, a name too long.
      ++result_.failed;
      listener_.EntryFailed(entry,
                            EntryError(container.path(), entry, error.what()));
    }
  }

  // The chosen entries and their bytes, from a walk of their own.
  void Totals(ExtractProgress& progress) {
    TableWalk walk(selection_);
    progress.entries_total = 0;
    // The extraction itself reports what this walk can't read.
    try {
      while (walk.Next()) {
        if (!choice_.Chooses(walk.entry())) continue;
        ++progress.entries_total;
        if (walk.entry().Cuttable()) {
          progress.bytes_total += walk.entry().FileSize();
        }
      }
    } catch (const Error&) {
    }
  }

  // Writes one entry's file; returns its size. The folders are looked up
  // afresh from the output root for every entry, never through a handle
  // kept from before, so a folder moved away meanwhile receives nothing.
  // Once a path's folders are known, that is one lookup.
  int64_t ExtractEntry(StreamContainer& container, const TableEntry& entry) {
    std::string path;
    std::vector<std::string_view> parts;
    SplitEntryPath(entry.Name, path, parts);
    std::vector<std::string> added;  // spellings this entry brings
    try {
      MadeFolders made;
      std::string key;
      std::string folder_key;
      const Folder* folder = KnownFolder(made, parts, added, folder_key);
      if (folder == nullptr) {
        folder = &made.Child(root_, folder_name_);
        folder_key.clear();
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
          Visit(folder_key, *folder);
          std::string spelling = spellings_.Of(folder_key, parts[i], key);
          size_t made_before = made.made();
          folder = &made.Child(*folder, spelling);
          if (spellings_.Add(key, spelling)) added.push_back(key);
          if (made.made() > made_before) spellings_.Made(key);
          folder_key = key;
        }
      }
      Visit(folder_key, *folder);
      std::string name = spellings_.Of(folder_key, parts.back(), key);
      AtomicFile file(*folder, name);
      file.Protect(container.file());
      std::array<Piece, 3> pieces = Pieces(entry.Ranges);
      for (size_t i = 0; i < pieces.size(); ++i) {
        WritePiece(container, file, pieces[i].First, entry.Lengths[i]);
      }
      file.Commit();
      made.Keep();
      if (spellings_.Wrote(key, name)) ++result_.replaced;
    } catch (...) {
      for (const std::string& key : added) spellings_.Forget(key);
      throw;
    }
    return entry.FileSize();
  }

  // The entry's folder, in one lookup from the output root, when every
  // folder of its path has been visited already, so that all their
  // spellings are known; nothing otherwise, for the walk to visit them.
  // `folder_key` becomes the folder's key.
  const Folder* KnownFolder(MadeFolders& made,
                            const std::vector<std::string_view>& parts,
                            std::vector<std::string>& added,
                            std::string& folder_key) {
    std::vector<std::string> spelled{folder_name_};
    std::vector<std::string> keys;
    std::string key;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      if (spellings_.Unknown(folder_key)) return nullptr;
      spelled.push_back(spellings_.Of(folder_key, parts[i], key));
      keys.push_back(key);
      folder_key = key;
    }
    if (spellings_.Unknown(folder_key)) return nullptr;
    const Folder& folder = made.Beneath(root_, spelled);
    for (size_t i = 0; i < keys.size(); ++i) {
      if (spellings_.Add(keys[i], spelled[i + 1])) added.push_back(keys[i]);
    }
    return &folder;
  }

  // The first write into a folder that was there before this run: what a
  // killed run left in it goes, then its names are learned.
  void Visit(const std::string& folder_key, const Folder& folder) {
    if (!spellings_.Unknown(folder_key)) return;
    RemoveStaleTemporaries(folder);
    spellings_.Learn(folder_key, folder);
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

  const Selection& selection_;
  ExtractListener& listener_;
  const EntryChoice& choice_;
  Folder root_;
  std::string folder_name_;
  ExtractResult result_;
  Spellings spellings_;
  std::string piece_;
};

}  // namespace

std::string WrittenText(const ExtractResult& result) {
  const int32_t files = result.written - result.replaced;
  if (result.replaced == 0)
    return CountText(files, "file", "files") + " written";
  return CountText(result.written, "entry", "entries") + " written to " +
         CountText(files, "file", "files") + " (" +
         DecimalText(result.replaced) +
         " replaced an earlier entry of the same path)";
}

std::string ExtractFolderName(const Selection& selection) {
  return std::string(TrimWindowsPart("EXT_" + selection.BaseName));
}

ExtractResult Extract(const Selection& selection,
                      const std::string& output_root, ExtractListener& listener,
                      const EntryChoice& choice) {
  return Extractor(selection, output_root, listener, choice).Run();
}

}  // namespace brimwald
