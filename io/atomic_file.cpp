#include "io/atomic_file.h"

#include <filesystem>
#include <random>

#include "base/error.h"
#include "io/folder_entries.h"
#include "io/forced_fallbacks.h"
#include "io/interrupt.h"
#include "io/utf8_path.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

constexpr std::string_view kTempPrefix = ".brimwald-";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr size_t kTempDigits = 8;

// The folder of `path`, whose failure to open is the file's.
Folder FolderOf(const std::string& path) {
  try {
    return Folder(Utf8FromPath(PathFromUtf8(path).parent_path()));
  } catch (const Error& error) {
    throw FileError("cannot create", path, error.what());
  }
}

std::string NameOf(const std::string& path) {
  return Utf8FromPath(PathFromUtf8(path).filename());
}

}  // namespace

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kTempPrefix.size() + kTempDigits + kTempSuffix.size() ||
      !name.starts_with(kTempPrefix) || !name.ends_with(kTempSuffix)) {
    return false;
  }
  std::string_view digits = name.substr(kTempPrefix.size(), kTempDigits);
  return digits.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

std::string BackupName(const std::string& name) { return name + "~"; }

std::vector<std::string> TemporaryNamesIn(const Folder& folder) {
  std::vector<std::string> names;
  try {
    for (FolderEntry& entry : ListFolderEntries(folder)) {
      if (IsTemporaryName(entry.name)) names.push_back(std::move(entry.name));
    }
  } catch (const Error&) {
    // Best effort, as the cleaning that asks.
  }
  return names;
}

std::string NewTemporaryName() {
  static thread_local std::mt19937 random(std::random_device{}());
  std::string digits = HexText(static_cast<int32_t>(random()));
  digits.insert(0, kTempDigits - digits.size(), '0');
  return std::string(kTempPrefix) + digits + std::string(kTempSuffix);
}

// A one-off file is the one write of its run into its folder: the place to
// clear what an earlier, killed run left there.
AtomicFile::AtomicFile(std::string path)
    : own_folder_(FolderOf(path)),
      folder_(&*own_folder_),
      name_(NameOf(path)),
      path_(std::move(path)) {
  RemoveStaleTemporaries(*folder_);
  Create();
}

AtomicFile::AtomicFile(const Folder& folder, std::string name)
    : folder_(&folder), name_(std::move(name)) {
  Create();
}

std::string AtomicFile::path() const {
  return path_.empty() ? folder_->PathOf(name_) : path_;
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  if (bytes.size() >= kBufferSize) {
    WriteOut(bytes.data(), bytes.size());
    return;
  }
  buffer_.append(bytes);
}

void AtomicFile::WriteLine(std::string_view line) {
  Write(line);
  Write("\r\n");
}

void AtomicFile::Protect(const InputFile& input) {
  protected_.push_back(&input);
}

const std::string* AtomicFile::ProtectedAs(const FileId& id) const {
  for (const InputFile* input : protected_) {
    if (input->id() == id) return &input->path();
  }
  return nullptr;
}

void AtomicFile::CheckCopy(const InputFile& input, int64_t offset,
                           int64_t length) const {
  if (offset < 0 || length < 0) {
    throw FileError("cannot write", path(),
                    "internal error: a copy of " + std::to_string(length) +
                        " bytes from offset " + std::to_string(offset) +
                        " of '" + input.path() + "'");
  }
}

void AtomicFile::MakeBackup(const InputFile& original) {
  const std::string backup = BackupName(name_);
  if (!forced_fallbacks().backup_copy && LinkBackup(original, backup)) return;
  AtomicFile copy(*folder_, backup);
  copy.CopyFrom(original, 0, original.size());
  copy.Commit();
}

void AtomicFile::Flush() {
  if (buffer_.empty()) return;
  WriteOut(buffer_.data(), buffer_.size());
  buffer_.clear();
}

}  // namespace brimwald
