// Folders opened and made for output, made ones removed again unless the
// output came to be: a failed or interrupted write leaves the tree as it
// was. Only folders this object made are ever removed, and only while they
// are empty, so nothing that was there before, or that someone put there
// meanwhile, is lost.

#ifndef BRIMWALD_IO_MADE_FOLDERS_H_
#define BRIMWALD_IO_MADE_FOLDERS_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/folder.h"
#include "io/interrupt.h"

namespace brimwald {

class MadeFolders {
 public:
  MadeFolders() = default;
  /// Closes the folders, and removes those made, innermost first, unless
  /// Keep() was called. (Windows removes no folder that is open.)
  ~MadeFolders();
  MadeFolders(const MadeFolders&) = delete;
  MadeFolders& operator=(const MadeFolders&) = delete;

  /// Opens the sub-folder `name` of `parent` without following a link,
  /// making it when it is missing (Folder::Child). `parent` must outlive
  /// this object; the folder stays open while this object lives.
  const Folder& Child(const Folder& parent, std::string_view name);

  /// Opens the folder that the file `file_path` goes in. The folders of the
  /// path that exist are the caller's choice of place and are opened as
  /// the system finds them; those that are missing are made, with no link
  /// followed. A part that is there but isn't a folder (a file, a dangling
  /// link) is refused with an Error (kFile) that names it.
  const Folder& FolderOf(const std::string& file_path);

  /// The output came to be: the folders made stay.
  void Keep() { kept_ = true; }

  /// How many folders this object made.
  size_t made() const { return made_; }

 private:
  struct Opened {
    const Folder* parent;
    std::string name;
    std::unique_ptr<Folder> folder;
    std::unique_ptr<TemporaryName> registration;  // made ones only
  };

  std::unique_ptr<Folder> base_;  // where FolderOf starts
  std::vector<Opened> opened_;    // outermost first
  size_t made_ = 0;
  bool kept_ = false;
};

}  // namespace brimwald

#endif  // BRIMWALD_IO_MADE_FOLDERS_H_
