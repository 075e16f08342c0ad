// How Windows reads a path that a rip script writes: "\" separates the
// parts, empty parts are dropped, and every part loses its trailing dots and
// spaces ("sfx. \door" names the file "door" in the folder "sfx"). The
// extraction lays out its files the way running the script on Windows
// does, so it reads entry paths the same way.

#ifndef BRIMWALD_NAMES_WINDOWS_PATH_H_
#define BRIMWALD_NAMES_WINDOWS_PATH_H_

#include <string>
#include <string_view>
#include <vector>

namespace brimwald {

/// `part` without its trailing dots and spaces.
std::string_view TrimWindowsPart(std::string_view part);

/// `path` with the trailing dots and spaces of each of its parts dropped,
/// "\\" or "/" between them; "." and ".." parts, empty parts and the
/// separators stay, so that drive and network prefixes do too.
std::string TrimWindowsParts(std::string_view path);

/// Replaces `parts` with the parts of the "\"-separated `path` as Windows
/// reads them; they point into `path`.
void SplitWindowsPath(std::string_view path,
                      std::vector<std::string_view>& parts);

/// Replaces `parts` with the parts of the file that the rip script of an
/// entry named `entry_name` (the bytes the script writes) joins:
/// "<entry_name>.qvstr" read the way the command interpreter reads the
/// script's bytes and Windows reads the path. The parts point into
/// `decoded`, which holds that text. The one reading of an entry's path:
/// the extraction makes these folders and this file, and every check of
/// "same path" compares their keys.
void SplitEntryPath(std::string_view entry_name, std::string& decoded,
                    std::vector<std::string_view>& parts);

/// `part` (one path part as Windows reads it) with ASCII letters in lower
/// case: two parts name the same file or folder exactly when their keys are
/// equal.
std::string PartKey(std::string_view part);
/// Appends PartKey(`part`) to `key`, in the room `key` has already.
void AppendPartKey(std::string& key, std::string_view part);

/// The key of the file SplitEntryPath() names: each part's PartKey joined
/// by "\\". Two entries leave the same file exactly when their keys are
/// equal.
std::string EntryPathKey(std::string_view entry_name);

/// Makes EntryPathKey()s in room it keeps, so that a walk of many entries
/// allocates none for them.
class EntryPathKeys {
 public:
  /// The key of `entry_name`, valid until the next call.
  const std::string& Of(std::string_view entry_name);

 private:
  std::string path_;
  std::vector<std::string_view> parts_;
  std::string key_;
};

}  // namespace brimwald

#endif  // BRIMWALD_NAMES_WINDOWS_PATH_H_
