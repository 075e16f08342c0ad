// An open folder: where output files are created, and the start of a walk
// down to sub-folders that never follows a symbolic link (on Windows, nor a
// junction or any other reparse point), so that nothing planted inside an
// output folder can send a write outside it.

#ifndef BRIMWALD_IO_FOLDER_H_
#define BRIMWALD_IO_FOLDER_H_

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "io/native_handle.h"

namespace brimwald {

class Folder {
 public:
  /// Opens the folder at `path` ("" for the current one). Links within
  /// `path` itself are followed: it is the caller's choice of place. Throws
  /// Error (kFile) when it isn't an existing folder.
  explicit Folder(std::string path);
  /// The same, or nothing when it can't be opened.
  static std::optional<Folder> OpenIfThere(std::string path);
  ~Folder();
  Folder(Folder&& other) noexcept;
  Folder& operator=(Folder&& other) noexcept;
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  /// Opens the sub-folder `name` (one path part), making it first when
  /// `create` and it is missing; `*made` tells whether it was made. A
  /// symbolic link or a file of that name is refused with an Error (kFile)
  /// that names it.
  Folder Child(std::string_view name, bool create, bool* made = nullptr) const;

  /// Opens the existing folder `parts` (path parts, outermost first) below
  /// this one in one lookup that follows no link and can't leave this
  /// folder. Nothing when that lookup fails: a part is missing, a link or
  /// not a folder, or the system has no such lookup; Child() part by part
  /// then says why. The folder found is for opening, making and naming
  /// what is in it, not for listing it.
  std::optional<Folder> Beneath(const std::vector<std::string>& parts) const;

  /// Removes the sub-folder `name` if it is empty; says whether it did.
  bool RemoveEmptyChild(std::string_view name) const;

  /// The path by which this folder was reached, for messages.
  const std::string& path() const { return path_; }
  /// The path of `name` inside this folder, for messages.
  std::string PathOf(std::string_view name) const;

  NativeHandle handle() const { return handle_; }

 private:
  Folder(std::string path, NativeHandle handle)
      : path_(std::move(path)), handle_(handle) {}

  /// Opens `path`, with the system's reason in `error` when it can't.
  static std::optional<Folder> Open(std::string path, std::error_code& error);
  static Folder Opened(const std::string& path);

  std::string path_;
  NativeHandle handle_;
};

}  // namespace brimwald

#endif  // BRIMWALD_IO_FOLDER_H_
