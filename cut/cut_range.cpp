#include "cut/cut_range.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "base/error.h"
#include "io/atomic_file.h"
#include "io/input_file.h"
#include "io/made_folders.h"
#include "io/utf8_path.h"
#include "names/windows_path.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;

std::optional<uint32_t> HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
  return std::nullopt;
}

// Offsets in messages look as they did on the command line.
std::string OffsetText(int32_t offset) { return "0x" + HexText(offset); }

void RefuseFolderOutput(const std::string& output) {
  std::error_code error;
  fs::path path = PathFromUtf8(output);
  if (path.filename().empty() || fs::is_directory(path, error)) {
    throw FileError("cannot write", output, "it names a folder, not a file");
  }
}

}  // namespace

std::optional<int32_t> ParseOffset(std::string_view text) {
  if (!text.starts_with("0x")) return std::nullopt;
  std::string_view digits = text.substr(2);
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t bits = 0;
  for (char c : digits) {
    std::optional<uint32_t> digit = HexDigitValue(c);
    if (!digit) return std::nullopt;
    bits = (bits << 4) | *digit;
  }
  // Two's complement: 0x80000000 and above are the negative numbers.
  return static_cast<int32_t>(bits);
}

std::string RangeProblem(int32_t first, int32_t last, int64_t input_size) {
  if (first < 0) {
    return "the first offset " + OffsetText(first) + " is negative (" +
           DecimalText(first) + ")";
  }
  int64_t length = int64_t{last} - first + 1;
  if (length < 0) {
    return "the last offset " + OffsetText(last) +
           " lies more than one byte before the first offset " +
           OffsetText(first);
  }
  return "the range " + OffsetText(first) + " to " + OffsetText(last) + " (" +
         CountText(length, "byte", "bytes") +
         ") runs past the end of the input, which has " +
         CountText(input_size, "byte", "bytes");
}

void CutRange(const std::string& input, const std::string& output,
              int32_t first, int32_t last) {
  InputFile source(input);
  std::optional<int64_t> length = RangeLength(first, last, source.size());
  if (!length) {
    throw FileError("cannot cut", input,
                    RangeProblem(first, last, source.size()));
  }
#ifdef _WIN32
  // Windows reads every part of a path without its trailing dots and spaces
  // (a script's folder EXT_name. is EXT_name); the folders made here must be
  // the ones it reads.
  const std::string path = TrimWindowsParts(output);
#else
  const std::string& path = output;
#endif
  RefuseFolderOutput(path);
  MadeFolders folders;
  const Folder* folder = nullptr;
  try {
    folder = &folders.FolderOf(path);
  } catch (const Error& error) {
    throw FileError("cannot create", output,
                    std::string("its folder: ") + error.what());
  }
  // A cut is its run's one write into this folder.
  RemoveStaleTemporaries(*folder);
  {
    // Declared after the folders, so its temporary file goes first.
    AtomicFile target(*folder, Utf8FromPath(PathFromUtf8(path).filename()));
    target.Protect(source);
    target.CopyFrom(source, first, *length);
    target.Commit();
  }
  folders.Keep();
}

}  // namespace brimwald
