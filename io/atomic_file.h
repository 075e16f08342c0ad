// File output that lands whole or not at all.
//
// The bytes go to a file that has no name yet (Linux O_TMPFILE) or a
// temporary name beside the target; only Commit() gives it the target's
// name. An AtomicFile destroyed before Commit() (an error on the way, say)
// leaves nothing, and any existing target stays as it was, so a reader never
// sees half a file. Only a regular file is ever replaced: a link (on
// Windows, any reparse point), a folder, a device, a FIFO or a socket at the
// target is refused and stays as it was. A replaced file keeps its
// permission bits 0777, never setuid, setgid or sticky (on Windows, its
// read-only attribute); a new one gets 0666 less the umask.
//
// Temporary names are ".brimwald-XXXXXXXX.tmp", X a hex digit, whatever
// the target's name, so any name that can be written once can be replaced.
// While it has a temporary name, a file is locked; one with no name is no
// cleaner's to find and isn't. A run killed at the wrong moment (SIGKILL, a
// power cut) can leave a temporary file; interrupts remove them
// (io/interrupt.h), and RemoveStaleTemporaries() removes those that no
// running writer holds.

#ifndef BRIMWALD_IO_ATOMIC_FILE_H_
#define BRIMWALD_IO_ATOMIC_FILE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/folder.h"
#include "io/input_file.h"
#include "io/native_handle.h"

namespace brimwald {

class TemporaryName;

class AtomicFile {
 public:
  /// Writes are gathered up to this many bytes, large enough that the
  /// system sees few, big writes; Write() of as many or more goes straight
  /// to the file.
  static constexpr size_t kBufferSize = 256 * 1024;

  /// Starts the file `path`; the target is not touched yet. Throws Error
  /// (kFile) naming `path` when its folder can't take a new file.
  explicit AtomicFile(std::string path);
  /// Starts the file `name` (one path part) in `folder`, which must outlive
  /// this object.
  AtomicFile(const Folder& folder, std::string name);
  ~AtomicFile();

  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  /// Appends `bytes` unchanged. Throws Error (kFile) on a failed write.
  void Write(std::string_view bytes);

  /// Writes `line` followed by CR LF.
  void WriteLine(std::string_view line);

  /// Appends `length` bytes of `input` from `offset`, in the kernel where
  /// the system can. A negative offset or length is a caller's fault,
  /// refused with an Error (kFile) before anything is read.
  void CopyFrom(const InputFile& input, int64_t offset, int64_t length);

  /// Makes Commit() refuse to replace `input`, a file being read, under any
  /// of its names. Each call adds one; `input` must stay open until then.
  void Protect(const InputFile& input);

  /// Makes the file that Commit() replaces keep its owner and group, where
  /// the system lets this process give them (as root): for a file that
  /// belongs to its user, such as the container itself.
  void KeepOwner() { keep_owner_ = true; }

  /// Keeps `original`, the file that Commit() is about to replace, under
  /// the target's name followed by "~", in place of any older backup of
  /// that name, which is replaced atomically: at any moment the backup is
  /// the older one, or none, or whole. It is a second link to `original`
  /// where the filesystem takes one (so it costs nothing: Commit() gives
  /// the target a new file), a copy of its bytes otherwise. Call it after
  /// the last check that `original` is still at the target, and before
  /// Commit(). Throws Error (kFile) naming the backup when it can't be
  /// made, or when what lies at its name isn't a regular file.
  void MakeBackup(const InputFile& original);

  /// Gives the file its name, replacing an older file of that name. Throws
  /// Error (kFile) if any step fails; nothing is left then.
  void Commit();

  /// The target path, for messages.
  std::string path() const;

 private:
  void Create();
  void PrepareReplacing();
  void Flush();
  void WriteOut(const char* data, size_t size);
  void Discard();
  /// MakeBackup() by a link; false when the filesystem takes none.
  bool LinkBackup(const InputFile& original, const std::string& backup);
  void CheckCopy(const InputFile& input, int64_t offset, int64_t length) const;
  /// The path of the protected file that `id` is, or nullptr.
  const std::string* ProtectedAs(const FileId& id) const;

  std::optional<Folder> own_folder_;  // when made from a path
  const Folder* folder_;
  std::string name_;
  std::string path_;  // as given; empty when made from a folder and a name
  NativeHandle handle_;
  std::string temp_name_;  // empty while the file has no name
  std::unique_ptr<TemporaryName> registered_;
  std::string buffer_;
  std::vector<const InputFile*> protected_;
  bool keep_owner_ = false;
};

/// The name of the backup of `name`: `name` followed by "~".
std::string BackupName(const std::string& name);

/// Whether `name` has the pattern of a temporary name.
bool IsTemporaryName(std::string_view name);

/// A fresh temporary name.
std::string NewTemporaryName();

/// The names in `folder` that have the pattern of a temporary name; none
/// when it can't be listed.
std::vector<std::string> TemporaryNamesIn(const Folder& folder);

/// Removes the files in `folder` named as temporary files that no running
/// writer holds: what a killed run left there. Best effort: a file that
/// can't be looked at or removed stays.
void RemoveStaleTemporaries(const Folder& folder);

}  // namespace brimwald

#endif  // BRIMWALD_IO_ATOMIC_FILE_H_
