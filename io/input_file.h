#ifndef BRIMWALD_IO_INPUT_FILE_H_
#define BRIMWALD_IO_INPUT_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/native_handle.h"

namespace brimwald {

/// Which file an open file is, whatever names it: two names of one file
/// (hard links, or a path and a link to it) have equal ids.
struct FileId {
  uint64_t device = 0;
  uint64_t index = 0;
  bool operator==(const FileId&) const = default;
};

class Folder;

/// A regular file opened read-only, read at arbitrary offsets; closed when
/// the object goes. Unbuffered: callers read in blocks of their own.
class InputFile {
 public:
  /// Opens the existing regular file at `path`; never creates one. A
  /// folder, a device or a pipe is refused (a pipe would block, a device
  /// might never end). Throws Error (kFile) naming the path and the reason.
  explicit InputFile(std::string path);
  /// Opens the regular file `name` (one path part) in `folder` the same
  /// way, without following a link of that name (on Windows, any reparse
  /// point): a link is refused, and named as one.
  InputFile(const Folder& folder, std::string_view name);
  ~InputFile();

  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  /// Reads exactly `count` bytes starting at `offset` into `out`. Throws
  /// Error (kFile) when the system fails or the file has fewer bytes (it
  /// changed while open).
  void ReadAt(int64_t offset, char* out, size_t count) const;

  /// Whether the path it was opened by still names this very file, of the
  /// size and modification time it had when opened: nobody replaced it or
  /// wrote into it meanwhile. A link now at the path is a change.
  bool StillAtPath() const;

  const std::string& path() const { return path_; }
  /// The size when the file was opened.
  int64_t size() const { return size_; }
  NativeHandle handle() const { return handle_; }
  FileId id() const { return id_; }

 private:
  void Check();

  std::string path_;
  NativeHandle handle_;
  int64_t size_ = 0;
  int64_t modified_ = 0;  // in the system's own units
  FileId id_;
};

}  // namespace brimwald

#endif  // BRIMWALD_IO_INPUT_FILE_H_
