#ifndef BRIMWALD_CONTAINER_SELECTION_H_
#define BRIMWALD_CONTAINER_SELECTION_H_

#include <cstdint>
#include <string>

namespace brimwald {

/// The current container choice. The inspection writes it and the rip reads
/// it; the window holds one for its whole life.
struct Selection {
  /// The chosen name, as shown in the window's name box.
  std::string FileName;
  /// FileName without its last "." and what follows it.
  std::string BaseName;
  /// The name by which the script names the container: the bare file name.
  std::string FilePath;
  /// The folder that holds the container and receives the script; empty for
  /// the current directory.
  std::string Directory;
  /// Header field at offset 24, from the last inspection whose magic matched.
  int32_t VfsStart = 0;
  /// Header field at offset 28, from the last inspection whose magic matched.
  int32_t FileCount = 0;
  /// Whether the last inspection found a container and read both header
  /// fields. Reset at the start of every inspection.
  bool Passed = false;
};

/// The path of `name` inside the selection's directory.
inline std::string PathInDirectory(const Selection& selection,
                                   const std::string& name) {
  if (selection.Directory.empty()) return name;
  return selection.Directory + "/" + name;
}

}  // namespace brimwald

#endif  // BRIMWALD_CONTAINER_SELECTION_H_
