// What a folder holds, told without following a symbolic link (on Windows,
// nor a junction or any other reparse point): a check of a tree below an
// output folder must see a link as one, never the place it points to.

#ifndef BRIMWALD_IO_FOLDER_ENTRIES_H_
#define BRIMWALD_IO_FOLDER_ENTRIES_H_

#include <cstdint>
#include <string>
#include <vector>

#include "io/folder.h"
#include "io/input_file.h"

namespace brimwald {

enum class NodeType : uint8_t {
  kMissing,
  kFile,    // a regular file
  kFolder,  // a folder that is no link
  kLink,    // a symbolic link; on Windows, any reparse point
  kOther,   // a device, a FIFO, a socket
};

/// What stands at `path`; a link is a link, whatever it points to.
/// Throws Error (kFile) when the system can't tell.
NodeType NodeTypeAt(const std::string& path);

struct FolderEntry {
  std::string name;  // as the system gives it (UTF-8 on Windows)
  NodeType type;
  /// Which file or folder it is; all zero where the system's listing
  /// doesn't tell (Windows), where an open Folder keeps the folders from
  /// being moved instead.
  FileId id;
};

/// Which folder `folder` is, as its listing tells (all zero where it
/// doesn't tell).
FileId IdOfFolder(const Folder& folder);

/// The entries of `folder`, without "." and "..", in no particular order:
/// the one listing of a folder, for every command. Throws Error (kFile)
/// when it can't be listed.
std::vector<FolderEntry> ListFolderEntries(const Folder& folder);

}  // namespace brimwald

#endif  // BRIMWALD_IO_FOLDER_ENTRIES_H_
