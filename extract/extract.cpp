#include "extract/extract.h"

#include <array>
#include <optional>
#include <unordered_map>
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
// any spelling that differs only in ASCII letter case reaches it. Each
// file or folder known is a place, numbered, found by its folder's number
// and its PartKey, so a lookup hashes one short key whatever the depth.
class Spellings {
 public:
  using Place = uint32_t;
  static constexpr Place kOutput = 0;  // the output folder itself

  Spellings() : spelled_(1) {}

  /// The place `part` names in `folder`, when something there has its key.
  std::optional<Place> Find(Place folder, std::string_view part) {
    auto found = places_.find(KeyOf(folder, part));
    if (found == places_.end() || !spelled_[found->second].known) return {};
    return found->second;
  }

  const std::string& SpellingOf(Place place) const {
    return spelled_[place].spelling;
  }

  /// The place `spelling` names in `folder`, recorded spelled so unless it
  /// is known already; and whether it was new.
  std::pair<Place, bool> Add(Place folder, std::string_view spelling) {
    auto [found, made] =
        places_.try_emplace(KeyOf(folder, spelling), Place(spelled_.size()));
    if (made) spelled_.emplace_back();
    Spelled& place = spelled_[found->second];
    if (place.known) return {found->second, false};
    place.spelling = spelling;
    place.known = true;
    return {found->second, true};
  }

  /// Records that this run wrote the file `place`; says whether it had
  /// written it before, for an earlier entry.
  bool Wrote(Place place) {
    return std::exchange(spelled_[place].written, true);
  }

  /// Takes back what Add() recorded, for an entry that left nothing.
  void Forget(Place place) {
    spelled_[place].known = false;
    spelled_[place].written = false;
  }

  /// Whether the folder `folder` is still to be learned.
  bool Unknown(Place folder) const { return !spelled_[folder].learned; }

  /// Takes in what the existing `handle` of `folder` holds, once: a folder
  /// this run didn't make may hold files and folders already.
  void Learn(Place folder, const Folder& handle) {
    if (!Unknown(folder)) return;
    Made(folder);
    for (const FolderEntry& entry : ListFolderEntries(handle)) {
      Add(folder, entry.name);
    }
  }

  /// The folder `folder` was made by this run: it held nothing.
  void Made(Place folder) { spelled_[folder].learned = true; }

 private:
  struct Spelled {
    std::string spelling;
    bool known = false;    // false once forgotten
    bool learned = false;  // as a folder: what it held is known
    bool written = false;  // as a file, by this run
  };

  // The key of `part` in `folder`, in room kept from the last.
  const std::string& KeyOf(Place folder, std::string_view part) {
    key_.assign(reinterpret_cast<const char*>(&folder), sizeof folder);
    AppendPartKey(key_, part);
    return key_;
  }

  std::unordered_map<std::string, Place> places_;
  std::vector<Spelled> spelled_;  // by place
  std::string key_;
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
    if (made) spellings_.Made(Spellings::kOutput);
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
    SplitEntryPath(entry.Name, path_, parts_);
    Spellings::Place place = Spellings::kOutput;
    if (std::optional<Folder> folder = KnownFolder(place)) {
      WriteFile(container, entry, *folder, place);
    } else {
      WalkAndWrite(container, entry);
    }
    return entry.FileSize();
  }

  // The entry's folder, in one lookup from the output root, when every
  // folder of its path has been visited already, so that all their
  // spellings are known; nothing otherwise, for the walk to visit them.
  // `place` becomes the folder's place.
  std::optional<Folder> KnownFolder(Spellings::Place& place) {
    spelled_.resize(parts_.size());
    spelled_[0] = folder_name_;
    for (size_t i = 0; i + 1 < parts_.size(); ++i) {
      if (spellings_.Unknown(place)) return {};
      std::optional<Spellings::Place> found = spellings_.Find(place, parts_[i]);
      if (!found) return {};
      place = *found;
      spelled_[i + 1] = spellings_.SpellingOf(place);
    }
    if (spellings_.Unknown(place)) return {};
    return root_.Beneath(spelled_);
  }

  // Opens or makes the entry's folders one at a time, visiting each, then
  // writes its file; what this entry made or spelled is taken back when
  // the file can't be written.
  void WalkAndWrite(StreamContainer& container, const TableEntry& entry) {
    std::vector<Spellings::Place> added;  // spellings this entry brings
    try {
      MadeFolders made;
      const Folder* folder = &made.Child(root_, folder_name_);
      Spellings::Place place = Spellings::kOutput;
      for (size_t i = 0; i + 1 < parts_.size(); ++i) {
        Visit(place, *folder);
        std::optional<Spellings::Place> found =
            spellings_.Find(place, parts_[i]);
        std::string spelling(found ? spellings_.SpellingOf(*found) : parts_[i]);
        size_t made_before = made.made();
        folder = &made.Child(*folder, spelling);
        auto [child, is_new] = spellings_.Add(place, spelling);
        if (is_new) added.push_back(child);
        if (made.made() > made_before) spellings_.Made(child);
        place = child;
      }
      WriteFile(container, entry, *folder, place);
      made.Keep();
    } catch (...) {
      for (Spellings::Place place : added) spellings_.Forget(place);
      throw;
    }
  }

  // Writes the entry's file into `folder`, the folder at `place`.
  void WriteFile(StreamContainer& container, const TableEntry& entry,
                 const Folder& folder, Spellings::Place place) {
    Visit(place, folder);
    // The file's record, taken back if the file isn't written.
    auto [file_place, is_new] = spellings_.Add(place, parts_.back());
    try {
      AtomicFile file(folder, spellings_.SpellingOf(file_place));
      file.Protect(container.file());
      WritePieces(container, entry, file);
      file.Commit();
    } catch (...) {
      if (is_new) spellings_.Forget(file_place);
      throw;
    }
    if (spellings_.Wrote(file_place)) ++result_.replaced;
  }

  // The first write into a folder that was there before this run: what a
  // killed run left in it goes, then its names are learned.
  void Visit(Spellings::Place place, const Folder& folder) {
    if (!spellings_.Unknown(place)) return;
    RemoveStaleTemporaries(folder);
    spellings_.Learn(place, folder);
  }

  // The record, stream header and body, in order: small pieces gathered
  // through the container's block cache and written in one go, larger ones
  // copied in the kernel.
  void WritePieces(StreamContainer& container, const TableEntry& entry,
                   AtomicFile& file) {
    std::array<Piece, 3> pieces = Pieces(entry.Ranges);
    gathered_.clear();
    for (size_t i = 0; i < pieces.size(); ++i) {
      const int64_t length = entry.Lengths[i];
      if (length > kSmallPiece) {
        file.Write(gathered_);
        gathered_.clear();
        file.CopyFrom(container.file(), pieces[i].First, length);
        continue;
      }
      const size_t at = gathered_.size();
      gathered_.resize(at + static_cast<size_t>(length));
      container.ReadBytes(pieces[i].First, static_cast<size_t>(length),
                          gathered_.data() + at);
    }
    file.Write(gathered_);
  }

  const Selection& selection_;
  ExtractListener& listener_;
  const EntryChoice& choice_;
  Folder root_;
  std::string folder_name_;
  ExtractResult result_;
  Spellings spellings_;
  // Room kept from one entry to the next.
  std::string path_;                     // the entry's path, decoded
  std::vector<std::string_view> parts_;  // its parts, in path_
  std::vector<std::string> spelled_;     // its folders' spellings
  std::string gathered_;                 // its small pieces
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
