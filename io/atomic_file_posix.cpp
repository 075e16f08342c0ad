#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <random>
#include <utility>
#include <vector>

#include "io/atomic_file.h"
#include "base/error.h"
#include "io/interrupt.h"
#include "text/text_format.h"

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

std::string TempCandidate(const std::string& name) {
  static thread_local std::mt19937 random(std::random_device{}());
  std::string candidate = name + ".tmp-";
  AppendHexText(candidate, static_cast<int32_t>(random() & 0x7FFFFFFFu));
  return candidate;
}

// Tries fresh temporary names for `name` with `make` until one is free.
// Each is registered for removal on an interrupt before it exists, so that
// no moment leaves a temporary file unregistered. On failure errno says why.
template <typename Make>
bool WithTemporaryName(const Folder& folder, const std::string& name, Make make,
                       std::string& temp_name,
                       std::unique_ptr<TemporaryName>& registered) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = TempCandidate(name);
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

// Refuses to replace what isn't a plain file, and gives the new file the
// permission bits of the one it replaces, if there is one.
void PrepareReplacing(const Folder& folder, const std::string& name,
                      const std::string& path, int handle) {
  struct stat older;
  if (::fstatat(folder.handle(), name.c_str(), &older, AT_SYMLINK_NOFOLLOW) !=
      0) {
    return;
  }
  if (S_ISLNK(older.st_mode)) {
    throw FileError("cannot replace", path,
                    "it is a symbolic link, which is never followed or "
                    "replaced");
  }
  if (S_ISDIR(older.st_mode)) {
    throw FileError("cannot replace", path, "it is a folder, not a file");
  }
  if (::fchmod(handle, older.st_mode & 07777) != 0) {
    throw SystemFileError("cannot write", path, errno);
  }
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

}  // namespace

void AtomicFile::Create() {
  handle_ = kNoHandle;
#ifdef O_TMPFILE
  if (CanCreateUnnamed()) {
    handle_ = ::openat(folder_->handle(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC,
                       0666);
    // Filesystems without O_TMPFILE say so in several ways; a missing
    // folder or a denied write would fail the same way below.
    if (handle_ >= 0) return;
  }
#endif
  auto create = [&](const std::string& candidate) {
    handle_ = ::openat(folder_->handle(), candidate.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return handle_ >= 0;
  };
  if (!WithTemporaryName(*folder_, name_, create, temp_name_, registered_)) {
    throw SystemFileError("cannot create", path_, errno);
  }
}

void AtomicFile::WriteOut(const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = ::write(handle_, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw SystemFileError("cannot write", path_, errno);
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

#ifdef __linux__
namespace {

// A pipe for splicing, closed on every path.
class SplicePipe {
 public:
  SplicePipe() {
    if (::pipe2(ends_, O_CLOEXEC) != 0) ends_[0] = ends_[1] = kNoHandle;
  }
  ~SplicePipe() {
    for (int end : ends_) {
      if (end != kNoHandle) ::close(end);
    }
  }
  SplicePipe(const SplicePipe&) = delete;
  SplicePipe& operator=(const SplicePipe&) = delete;

  bool ok() const { return ends_[0] != kNoHandle; }
  int read_end() const { return ends_[0]; }
  int write_end() const { return ends_[1]; }

 private:
  int ends_[2];
};

// Whether an error from copy_file_range or splice means only "not between
// these files or on this system", so that a plain copy can do the job.
bool CanCopyByHand(int error) {
  return error == EXDEV || error == ENOSYS || error == EINVAL ||
         error == EOPNOTSUPP || error == EPERM;
}

// The kernel copies whole pages, or shares them, when the source and the
// target are aligned alike. Returns false when it can't copy between these
// files; `from` and `length` then tell what is left.
bool CopyInKernel(const InputFile& input, off_t& from, int64_t& length,
                  int target, const std::string& target_path) {
  while (length > 0) {
    ssize_t copied = ::copy_file_range(input.handle(), &from, target, nullptr,
                                       static_cast<size_t>(length), 0);
    if (copied > 0) {
      length -= copied;
    } else if (copied == 0) {
      throw FileError("cannot read", input.path(),
                      "the file became shorter while open");
    } else if (errno != EINTR) {
      if (CanCopyByHand(errno)) return false;
      throw SystemFileError("cannot write", target_path, errno);
    }
  }
  return true;
}

// Otherwise the source's pages go into a pipe by reference and are copied
// once, into the target: a copy through a buffer would copy them twice. A
// pipe of 1 MiB keeps the rounds few; with the system's default of 64 KiB
// this would be slower than the buffer, which is then used instead. Returns
// false as CopyInKernel does.
bool SpliceFrom(const InputFile& input, off_t& from, int64_t& length,
                int target, const std::string& target_path) {
  SplicePipe pipe;
  if (!pipe.ok()) return false;
  int room = ::fcntl(pipe.write_end(), F_SETPIPE_SZ, int{kCopyChunk});
  if (room < int{kCopyChunk}) return false;
  while (length > 0) {
    loff_t at = from;
    ssize_t filled =
        ::splice(input.handle(), &at, pipe.write_end(), nullptr,
                 static_cast<size_t>(std::min<int64_t>(length, room)), 0);
    if (filled == 0) {
      throw FileError("cannot read", input.path(),
                      "the file became shorter while open");
    }
    if (filled < 0) {
      if (errno == EINTR) continue;
      // Nothing has been taken from the source yet this round.
      if (CanCopyByHand(errno)) return false;
      throw SystemFileError("cannot read", input.path(), errno);
    }
    for (ssize_t left = filled; left > 0;) {
      ssize_t drained = ::splice(pipe.read_end(), nullptr, target, nullptr,
                                 static_cast<size_t>(left), 0);
      if (drained < 0 && errno == EINTR) continue;
      if (drained <= 0) {
        throw SystemFileError("cannot write", target_path,
                              drained < 0 ? errno : EIO);
      }
      left -= drained;
    }
    from += filled;
    length -= filled;
  }
  return true;
}

// Reserving the target's blocks before an unaligned copy lets the file
// system write straight into them, which ext4 does about a tenth faster
// than allocating as the pages come, and tells of a full disk before any
// copying. Where the file system can't reserve, the copy allocates as it
// goes.
void ReserveSpace(int target, off_t to, int64_t length,
                  const std::string& target_path) {
  if (to < 0 || ::fallocate(target, FALLOC_FL_KEEP_SIZE, to, length) == 0) {
    return;
  }
  if (errno == ENOSPC || errno == EDQUOT) {
    throw SystemFileError("cannot write", target_path, errno);
  }
}

}  // namespace
#endif

void AtomicFile::CopyFrom(const InputFile& input, int64_t offset,
                          int64_t length) {
  Flush();
  auto from = static_cast<off_t>(offset);
#ifdef __linux__
  off_t to = ::lseek(handle_, 0, SEEK_CUR);
  bool aligned_alike = to >= 0 && (from - to) % kPageSize == 0;
  // An aligned copy may share the source's blocks instead of taking new
  // ones.
  if (!aligned_alike) ReserveSpace(handle_, to, length, path_);
  if (aligned_alike ? CopyInKernel(input, from, length, handle_, path_)
                    : SpliceFrom(input, from, length, handle_, path_)) {
    return;
  }
#endif
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

void AtomicFile::Commit() {
  Flush();
  if (temp_name_.empty()) {
    // The usual case, a new file: one link gives it its name whole.
    if (LinkUnnamed(handle_, *folder_, name_)) {
      Discard();
      return;
    }
    if (errno != EEXIST) throw SystemFileError("cannot create", path_, errno);
    PrepareReplacing(*folder_, name_, path_, handle_);
    // A name can't be given over an existing file: link under a temporary
    // name, then rename that over the target.
    auto link = [&](const std::string& candidate) {
      return LinkUnnamed(handle_, *folder_, candidate);
    };
    if (!WithTemporaryName(*folder_, name_, link, temp_name_, registered_)) {
      throw SystemFileError("cannot create", path_, errno);
    }
  } else {
    PrepareReplacing(*folder_, name_, path_, handle_);
  }
  if (::close(std::exchange(handle_, kNoHandle)) != 0) {
    throw SystemFileError("cannot write", path_, errno);
  }
  if (::renameat(folder_->handle(), temp_name_.c_str(), folder_->handle(),
                 name_.c_str()) != 0) {
    throw SystemFileError("cannot replace", path_, errno);
  }
  temp_name_.clear();
  registered_.reset();
}

void AtomicFile::Discard() {
  if (handle_ != kNoHandle) ::close(std::exchange(handle_, kNoHandle));
  if (!temp_name_.empty()) {
    ::unlinkat(folder_->handle(), temp_name_.c_str(), 0);
    temp_name_.clear();
  }
  registered_.reset();
}

}  // namespace brimwald
