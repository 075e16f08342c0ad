#ifndef BRIMWALD_TESTING_TEMP_DIR_H_
#define BRIMWALD_TESTING_TEMP_DIR_H_

#include <map>
#include <string>
#include <vector>

namespace brimwald::testing {

/// A fresh directory under the system's temporary directory, removed with
/// everything in it when the object goes. Paths and names are UTF-8 on
/// Windows, as the core keeps them.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  /// The path of `name` inside this directory.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  /// The names of the entries directly in this directory, sorted.
  std::vector<std::string> Names() const;
  /// The paths of every file and folder below this directory, relative to
  /// it with "/" between parts, sorted; folders end in "/".
  std::vector<std::string> Tree() const;
  /// The files below `root` (a path in this directory ending in "/"), by
  /// their paths below it, with what they hold.
  std::map<std::string, std::string> FilesBelow(const std::string& root) const;

 private:
  std::string path_;
};

/// The whole content of the file at `path`; throws if it can't be read.
std::string ReadFile(const std::string& path);

/// Creates or replaces the file at `path` with `bytes`.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace brimwald::testing

#endif  // BRIMWALD_TESTING_TEMP_DIR_H_
