// What a folder holds, told without following a symbolic link (on Windows,
// nor a junction or any other reparse point): a check of a tree below an
// output folder must see a link as one, never the place it points to.

#ifndef BRIMWALD_IO_FOLDER_ENTRIES_H_
#define BRIMWALD_IO_FOLDER_ENTRIES_H_

#include <string>
#include <vector>

namespace brimwald {

enum class NodeType {
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
};

/// The entries of the folder at `path`, without "." and "..", in no
/// particular order. Throws Error (kFile) when it can't be listed.
std::vector<FolderEntry> ListFolderEntries(const std::string& path);

}  // namespace brimwald

#endif  // BRIMWALD_IO_FOLDER_ENTRIES_H_
