#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/error.h"
#include "io/atomic_file.h"
#include "io/interrupt.h"
#include "io/win32_error.h"
#include "text/text_format.h"
#include "text/wide_text.h"

namespace brimwald {
namespace {

const NativeHandle kNoHandle = INVALID_HANDLE_VALUE;
constexpr int kNameAttempts = 16;
constexpr size_t kCopyChunk = 256 * 1024;
// WriteFile takes a 32-bit count.
constexpr size_t kMaxWrite = size_t{1} << 30;

HANDLE AsHandle(NativeHandle handle) { return static_cast<HANDLE>(handle); }

// A byte far past any file's end: a writer locks it to say that it holds
// its temporary file, and a cleaner that can't lock it leaves the file be.
// Locking it blocks no read or write of the file's bytes.
bool Hold(HANDLE handle) {
  OVERLAPPED beyond_end = {};
  beyond_end.Offset = 0xFFFFFFFEu;
  beyond_end.OffsetHigh = 0x7FFFFFFFu;
  return ::LockFileEx(handle,
                      LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                      0, &beyond_end) != 0;
}

// The id of the file at `path` itself (a link's own), if it can be opened.
std::optional<FileId> IdOf(const std::wstring& path) {
  HANDLE handle = ::CreateFileW(
      path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  bool known = ::GetFileInformationByHandle(handle, &info) != 0;
  ::CloseHandle(handle);
  if (!known) return std::nullopt;
  return FileId{info.dwVolumeSerialNumber,
                (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

// Removes the temporary file at `path` if no writer holds it.
void RemoveIfStale(const std::wstring& path) {
  HANDLE handle = ::CreateFileW(
      path.c_str(), GENERIC_READ | DELETE,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  BY_HANDLE_FILE_INFORMATION info;
  if (::GetFileInformationByHandle(handle, &info) &&
      (info.dwFileAttributes &
       (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
      Hold(handle)) {
    FILE_DISPOSITION_INFO dispose = {TRUE};
    ::SetFileInformationByHandle(handle, FileDispositionInfo, &dispose,
                                 sizeof dispose);
  }
  ::CloseHandle(handle);
}

// Deletes the file at `path`, read-only or not.
void Delete(const std::wstring& path) {
  if (::DeleteFileW(path.c_str())) return;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(path.c_str());
}

}  // namespace

void RemoveStaleTemporaries(const Folder& folder) {
  for (const std::string& name : TemporaryNamesIn(folder)) {
    RemoveIfStale(NativePath(folder.PathOf(name)));
  }
}

void AtomicFile::Create() {
  handle_ = kNoHandle;
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = NewTemporaryName();
    // Exclusive: never an existing file, nor a link planted under the
    // name. Others may delete it, as an interrupt does.
    HANDLE handle = ::CreateFileW(
        NativePath(folder_->PathOf(candidate)).c_str(), GENERIC_WRITE,
        FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE && !Hold(handle)) {
      // A cleaner holds it, about to remove it as stale.
      ::CloseHandle(handle);
      continue;
    }
    if (handle != INVALID_HANDLE_VALUE) {
      handle_ = handle;
      temp_name_ = std::move(candidate);
      registered_ = std::make_unique<TemporaryName>(*folder_, temp_name_);
      return;
    }
    error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  throw WindowsFileError("cannot create", path(), error);
}

void AtomicFile::WriteOut(const char* data, size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!::WriteFile(AsHandle(handle_), data,
                     static_cast<DWORD>(std::min(size, kMaxWrite)), &written,
                     nullptr)) {
      throw WindowsFileError("cannot write", path(), ::GetLastError());
    }
    data += written;
    size -= written;
  }
}

void AtomicFile::CopyFrom(const InputFile& input, int64_t offset,
                          int64_t length) {
  CheckCopy(input, offset, length);
  Flush();
  std::vector<char> chunk(static_cast<size_t>(
      std::min<int64_t>(length, static_cast<int64_t>(kCopyChunk))));
  while (length > 0) {
    size_t size = static_cast<size_t>(
        std::min<int64_t>(length, static_cast<int64_t>(chunk.size())));
    input.ReadAt(offset, chunk.data(), size);
    WriteOut(chunk.data(), size);
    offset += static_cast<int64_t>(size);
    length -= static_cast<int64_t>(size);
  }
}

void AtomicFile::Commit() {
  Flush();
  const std::wstring target = NativePath(folder_->PathOf(name_));
  const std::wstring temp = NativePath(folder_->PathOf(temp_name_));
  // The attributes of the name itself: a link's own, never its target's.
  DWORD older = ::GetFileAttributesW(target.c_str());
  bool replacing = older != INVALID_FILE_ATTRIBUTES;
  if (replacing && (older & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    throw FileError("cannot replace", path(),
                    "it is a symbolic link or junction, which is never "
                    "followed or replaced");
  }
  if (replacing && (older & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    throw FileError("cannot replace", path(), "it is a folder, not a file");
  }
  if (replacing && (older & FILE_ATTRIBUTE_DEVICE) != 0) {
    throw FileError("cannot replace", path(), "it is a device, not a file");
  }
  if (replacing && !protected_.empty()) {
    std::optional<FileId> id = IdOf(target);
    const std::string* input = id ? ProtectedAs(*id) : nullptr;
    if (input != nullptr) {
      throw FileError("cannot replace", path(),
                      "it is '" + *input + "', which is being read");
    }
  }
  if (!::CloseHandle(AsHandle(std::exchange(handle_, kNoHandle)))) {
    throw WindowsFileError("cannot write", path(), ::GetLastError());
  }
  // A read-only file can't be replaced: it gives up the attribute for the
  // move, and its successor takes it, as a replaced file keeps its
  // permissions elsewhere.
  bool read_only = replacing && (older & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only &&
      (!::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_READONLY) ||
       !::SetFileAttributesW(target.c_str(),
                             older & ~DWORD{FILE_ATTRIBUTE_READONLY}))) {
    throw WindowsFileError("cannot replace", path(), ::GetLastError());
  }
  if (!::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DWORD error = ::GetLastError();
    if (read_only) ::SetFileAttributesW(target.c_str(), older);
    throw WindowsFileError(replacing ? "cannot replace" : "cannot create",
                           path(), error);
  }
  temp_name_.clear();
  registered_.reset();
}

// Links the target under a temporary name, checks that the link is the
// file that was read (the name might have been swapped meanwhile), then
// moves it over the backup: the backup is never half made.
bool AtomicFile::LinkBackup(const InputFile& original,
                            const std::string& backup) {
  const std::string backup_path = folder_->PathOf(backup);
  const std::wstring kept = NativePath(backup_path);
  DWORD older = ::GetFileAttributesW(kept.c_str());
  if (older != INVALID_FILE_ATTRIBUTES &&
      (older & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY |
                FILE_ATTRIBUTE_DEVICE)) != 0) {
    throw FileError("cannot keep a backup as", backup_path,
                    "it is a link, a folder or a device, not a file");
  }
  const std::wstring target = NativePath(folder_->PathOf(name_));
  std::wstring temp;
  std::unique_ptr<TemporaryName> registered;
  for (int attempt = 0; attempt < kNameAttempts && temp.empty(); ++attempt) {
    std::string candidate = NewTemporaryName();
    auto registration = std::make_unique<TemporaryName>(*folder_, candidate);
    std::wstring path = NativePath(folder_->PathOf(candidate));
    if (::CreateHardLinkW(path.c_str(), target.c_str(), nullptr)) {
      temp = std::move(path);
      registered = std::move(registration);
      break;
    }
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
    // FAT and many network shares take no second link.
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ||
        error == ERROR_TOO_MANY_LINKS || error == ERROR_NOT_SAME_DEVICE) {
      return false;
    }
    throw WindowsFileError("cannot keep a backup as", backup_path, error);
  }
  if (temp.empty()) {
    throw WindowsFileError("cannot keep a backup as", backup_path,
                           ERROR_FILE_EXISTS);
  }
  std::optional<FileId> linked = IdOf(temp);
  if (!linked || *linked != original.id()) {
    Delete(temp);
    throw FileError("cannot replace", path(),
                    "it changed while it was being updated");
  }
  // A read-only file can't be replaced, an older backup included.
  if (older != INVALID_FILE_ATTRIBUTES &&
      (older & FILE_ATTRIBUTE_READONLY) != 0) {
    ::SetFileAttributesW(kept.c_str(), older & ~DWORD{FILE_ATTRIBUTE_READONLY});
  }
  if (!::MoveFileExW(temp.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DWORD error = ::GetLastError();
    Delete(temp);
    throw WindowsFileError("cannot keep a backup as", backup_path, error);
  }
  return true;
}

void AtomicFile::Discard() {
  if (handle_ != kNoHandle)
    ::CloseHandle(AsHandle(std::exchange(handle_, kNoHandle)));
  if (!temp_name_.empty()) {
    Delete(NativePath(folder_->PathOf(temp_name_)));
    temp_name_.clear();
  }
  registered_.reset();
}

}  // namespace brimwald
