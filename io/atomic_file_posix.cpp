#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

#include "base/error.h"
#include "io/atomic_file.h"
#include "io/interrupt.h"

namespace brimwald {
namespace {

constexpr int kNoHandle = -1;
constexpr int kNameAttempts = 16;
constexpr size_t kCopyChunk = 1024 * 1024;
constexpr off_t kPageSize = 4096;

// O_TMPFILE files get their name through /proc; without it they can't.
bool CanCreateUnnamed() {
#ifdef O_TMPFILE
  static const bool can = ::access("/proc/self/fd", X_OK) == 0;
  return can;
#else
  return false;
#endif
}

// Marks the open file as held by a running writer. Fails when someone
// holds it already: a cleaner that is about to remove it.
bool Hold(int handle) { return ::flock(handle, LOCK_EX | LOCK_NB) == 0; }

// Tries fresh temporary names with `make` until one is free. Each is
// registered for removal on an interrupt before it exists, so that no
// moment leaves a temporary file unregistered. On failure errno says why.
template <typename Make>
bool WithTemporaryName(const Folder& folder, Make make, std::string& temp_name,
                       std::unique_ptr<TemporaryName>& registered) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = NewTemporaryName();
    auto registration = std::make_unique<TemporaryName>(folder, candidate);
    if (make(candidate)) {
      temp_name = std::move(candidate);
      registered = std::move(registration);
      return true;
    }
    int error_number = errno;
    registration.reset();
    errno = error_number;
    if (error_number != EEXIST) return false;
  }
  return false;
}

// What is at a target that isn't a regular file, for the refusal.
const char* Kind(mode_t mode) {
  if (S_ISLNK(mode)) {
    return "it is a symbolic link, which is never followed or replaced";
  }
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
  if (S_ISFIFO(mode)) return "it is a FIFO, not a file";
  if (S_ISSOCK(mode)) return "it is a socket, not a file";
  return "it is not a regular file";
}

// Gives the unnamed file the name `name` in its folder; fails with EEXIST
// when that name is taken. Linking by the descriptor itself needs a
// privilege; without it the link goes through /proc, once known to be so.
bool LinkUnnamed(int handle, const Folder& folder, const std::string& name) {
  static std::atomic<bool> by_descriptor{true};
  if (by_descriptor.load(std::memory_order_relaxed)) {
    if (::linkat(handle, "", folder.handle(), name.c_str(), AT_EMPTY_PATH) ==
        0) {
      return true;
    }
    if (errno != ENOENT && errno != EPERM) return false;
    by_descriptor.store(false, std::memory_order_relaxed);
  }
  std::string self = "/proc/self/fd/" + std::to_string(handle);
  return ::linkat(AT_FDCWD, self.c_str(), folder.handle(), name.c_str(),
                  AT_SYMLINK_FOLLOW) == 0;
}

// Whether an error from copy_file_range means only "not between these files
// or on this system", so that a plain copy can do the job.
bool CanCopyByHand(int error) {
  return error == EXDEV || error == ENOSYS || error == EINVAL ||
         error == EOPNOTSUPP || error == EPERM;
}

// Whether a failed link means only that this filesystem (or the system's
// rule on linking others' files) takes no second link here, so that a copy
// can do the job.
bool LinkRefused(int error) {
  return error == EPERM || error == EMLINK || error == EXDEV ||
         error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS ||
         error == ENOENT;
}

// A file of `folder` opened without following a link, closed on every path.
class OpenedEntry {
 public:
  OpenedEntry(const Folder& folder, const char* name)
      : handle_(::openat(folder.handle(), name,
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)) {}
  ~OpenedEntry() {
    if (handle_ >= 0) ::close(handle_);
  }
  OpenedEntry(const OpenedEntry&) = delete;
  OpenedEntry& operator=(const OpenedEntry&) = delete;
  int handle() const { return handle_; }

 private:
  int handle_;
};

// Removes `name` from `folder` if it is a regular file that no writer
// holds, and still the file that was checked.
void RemoveIfStale(const Folder& folder, const char* name) {
  OpenedEntry file(folder, name);
  struct stat opened;
  struct stat named;
  if (file.handle() < 0 || ::fstat(file.handle(), &opened) != 0 ||
      !S_ISREG(opened.st_mode) || !Hold(file.handle()) ||
      ::fstatat(folder.handle(), name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
      named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
    return;
  }
  ::unlinkat(folder.handle(), name, 0);
}

}  // namespace

void RemoveStaleTemporaries(const Folder& folder) {
  for (const std::string& name : TemporaryNamesIn(folder)) {
    RemoveIfStale(folder, name.c_str());
  }
}

void AtomicFile::Create() {
  handle_ = kNoHandle;
#ifdef O_TMPFILE
  if (CanCreateUnnamed()) {
    handle_ = ::openat(folder_->handle(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC,
                       0666);
    // Filesystems without O_TMPFILE say so in several ways; a missing
    // folder or a denied write would fail the same way below. A file with
    // no name is no cleaner's to find: it is locked only if it gets a
    // temporary name (Commit).
    if (handle_ >= 0) return;
  }
#endif
  auto create = [&](const std::string& candidate) {
    int handle = ::openat(folder_->handle(), candidate.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (handle < 0) return false;
    if (Hold(handle)) {
      handle_ = handle;
      return true;
    }
    // A cleaner took it for a stale one between its making and now; it
    // removes it.
    ::close(handle);
    errno = EEXIST;
    return false;
  };
  if (!WithTemporaryName(*folder_, create, temp_name_, registered_)) {
    throw SystemFileError("cannot create", path(), errno);
  }
}

void AtomicFile::WriteOut(const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = ::write(handle_, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw SystemFileError("cannot write", path(), errno);
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

void AtomicFile::CopyFrom(const InputFile& input, int64_t offset,
                          int64_t length) {
  CheckCopy(input, offset, length);
  Flush();
  auto from = static_cast<off_t>(offset);
  // In the kernel, which shares or copies whole pages, when source and
  // target are aligned alike. Otherwise the kernel copies through a small
  // pipe, slower here than the buffer below (bench/README.md).
  off_t to = ::lseek(handle_, 0, SEEK_CUR);
  bool aligned_alike = to >= 0 && (from - to) % kPageSize == 0;
  while (aligned_alike && length > 0) {
    ssize_t copied = ::copy_file_range(input.handle(), &from, handle_, nullptr,
                                       static_cast<size_t>(length), 0);
    if (copied > 0) {
      length -= copied;
    } else if (copied == 0) {
      throw FileError("cannot read", input.path(),
                      "the file became shorter while open");
    } else if (errno == EINTR) {
      continue;
    } else if (CanCopyByHand(errno)) {
      break;
    } else {
      throw SystemFileError("cannot write", path(), errno);
    }
  }
  std::vector<char> chunk(static_cast<size_t>(
      std::min<int64_t>(length, static_cast<int64_t>(kCopyChunk))));
  while (length > 0) {
    size_t size = static_cast<size_t>(
        std::min<int64_t>(length, static_cast<int64_t>(chunk.size())));
    input.ReadAt(from, chunk.data(), size);
    WriteOut(chunk.data(), size);
    from += static_cast<off_t>(size);
    length -= static_cast<int64_t>(size);
  }
}

// Refuses to replace what isn't a regular file, or the file being read;
// gives the new file the permission bits of the one it replaces.
void AtomicFile::PrepareReplacing() {
  struct stat older;
  if (::fstatat(folder_->handle(), name_.c_str(), &older,
                AT_SYMLINK_NOFOLLOW) != 0) {
    return;
  }
  if (!S_ISREG(older.st_mode)) {
    throw FileError("cannot replace", path(), Kind(older.st_mode));
  }
  const std::string* input = ProtectedAs({static_cast<uint64_t>(older.st_dev),
                                          static_cast<uint64_t>(older.st_ino)});
  if (input != nullptr) {
    throw FileError("cannot replace", path(),
                    "it is '" + *input + "', which is being read");
  }
  // Only root may give a file away; for anyone else it is theirs already.
  if (keep_owner_ && ::geteuid() == 0 &&
      ::fchown(handle_, older.st_uid, older.st_gid) != 0) {
    throw SystemFileError("cannot write", path(), errno);
  }
  if (::fchmod(handle_, older.st_mode & 0777) != 0) {
    throw SystemFileError("cannot write", path(), errno);
  }
}

void AtomicFile::Commit() {
  Flush();
  if (temp_name_.empty()) {
    // The usual case, a new file: one link gives it its name whole.
    if (LinkUnnamed(handle_, *folder_, name_)) {
      Discard();
      return;
    }
    if (errno != EEXIST) throw SystemFileError("cannot create", path(), errno);
    PrepareReplacing();
    // A name can't be given over an existing file: link under a temporary
    // name, then rename that over the target. Held first, so that no
    // cleaner takes it for a stale one once it has that name.
    if (!Hold(handle_)) throw SystemFileError("cannot create", path(), errno);
    auto link = [&](const std::string& candidate) {
      return LinkUnnamed(handle_, *folder_, candidate);
    };
    if (!WithTemporaryName(*folder_, link, temp_name_, registered_)) {
      throw SystemFileError("cannot create", path(), errno);
    }
  } else {
    PrepareReplacing();
  }
  if (::renameat(folder_->handle(), temp_name_.c_str(), folder_->handle(),
                 name_.c_str()) != 0) {
    throw SystemFileError("cannot replace", path(), errno);
  }
  temp_name_.clear();
  registered_.reset();
  // Closed only now, so that the lock holds until the file has its name.
  if (::close(std::exchange(handle_, kNoHandle)) != 0) {
    throw SystemFileError("cannot write", path(), errno);
  }
}

// Links the very file that was read (by its handle, not by a name someone
// may have swapped meanwhile) under a temporary name, then renames that
// over the backup: the backup is never half made.
bool AtomicFile::LinkBackup(const InputFile& original,
                            const std::string& backup) {
  const std::string backup_path = folder_->PathOf(backup);
  struct stat older;
  if (::fstatat(folder_->handle(), backup.c_str(), &older,
                AT_SYMLINK_NOFOLLOW) == 0 &&
      !S_ISREG(older.st_mode)) {
    throw FileError("cannot keep a backup as", backup_path,
                    Kind(older.st_mode));
  }
  std::string temp;
  std::unique_ptr<TemporaryName> registered;
  auto link = [&](const std::string& candidate) {
    return LinkUnnamed(original.handle(), *folder_, candidate);
  };
  if (!WithTemporaryName(*folder_, link, temp, registered)) {
    if (LinkRefused(errno)) return false;
    throw SystemFileError("cannot keep a backup as", backup_path, errno);
  }
  if (::renameat(folder_->handle(), temp.c_str(), folder_->handle(),
                 backup.c_str()) != 0) {
    int error = errno;
    ::unlinkat(folder_->handle(), temp.c_str(), 0);
    throw SystemFileError("cannot keep a backup as", backup_path, error);
  }
  return true;
}

void AtomicFile::Discard() {
  if (!temp_name_.empty()) {
    ::unlinkat(folder_->handle(), temp_name_.c_str(), 0);
    temp_name_.clear();
  }
  if (handle_ != kNoHandle) ::close(std::exchange(handle_, kNoHandle));
  registered_.reset();
}

}  // namespace brimwald
