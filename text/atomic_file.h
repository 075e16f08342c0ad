// 8-bit file output that lands whole or not at all.
//
// The bytes go to a temporary file beside the target; only Commit() renames
// it over the target. An AtomicFile destroyed before Commit() (an error on
// the way, say) removes its temporary file and leaves any existing target as
// it was, so a reader never sees half a file.

#ifndef BRIMWALD_TEXT_ATOMIC_FILE_H_
#define BRIMWALD_TEXT_ATOMIC_FILE_H_

#include <cstdio>
#include <string>
#include <string_view>

namespace brimwald {

class AtomicFile {
 public:
  /// Creates the temporary file in the directory of `path`; the target is
  /// not touched yet. Throws FileError when it can't be created.
  explicit AtomicFile(std::string path);
  ~AtomicFile();

  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  /// Appends `bytes` unchanged. Throws FileError on a failed write.
  void Write(std::string_view bytes);

  /// Writes `line` followed by CR LF.
  void WriteLine(std::string_view line);

  /// Flushes, closes and renames the temporary file over the target.
  /// Throws FileError if any step fails; the temporary file is then removed.
  void Commit();

  /// The target path, as given.
  const std::string& path() const { return path_; }

 private:
  void Flush();
  void Discard();

  std::string path_;
  std::string temp_path_;
  std::FILE* file_ = nullptr;
  std::string buffer_;
};

}  // namespace brimwald

#endif  // BRIMWALD_TEXT_ATOMIC_FILE_H_
