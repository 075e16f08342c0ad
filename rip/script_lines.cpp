#include "rip/script_lines.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/error.h"
#include "text/script_encoding.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

constexpr std::string_view kEnd = "\r\n";

// What follows each of a block's last seven paths, after "COPY /B ":
// COPY /B "<p>.mainhd" + "<p>.strhd" + "<p>.strbd" "<p>.qvstr", then a DEL
// of each piece.
constexpr std::array<std::string_view, 7> kCopyAndDeletes = {
    ".mainhd\" + ",     ".strhd\" + ",       ".strbd\" ",
    ".qvstr\"\r\nDEL ", ".mainhd\"\r\nDEL ", ".strhd\"\r\nDEL ",
    ".strbd\"\r\n\r\n"};

// A double quote or a control byte can't stand inside a quoted batch
// argument; a path separator would make the bare name a path on Windows
// (a POSIX file may be named "..\\x.str").
bool CannotBeQuoted(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte == '"' || byte < 0x20 || byte == '\\' || byte == '/';
  });
}

}  // namespace

void AppendPercentEscaped(std::string& out, std::string_view text) {
  for (size_t percent = text.find('%'); percent != std::string_view::npos;
       percent = text.find('%')) {
    out.append(text.substr(0, percent + 1));
    out.push_back('%');
    text.remove_prefix(percent + 1);
  }
  out.append(text);
}

ScriptLines::ScriptLines(std::string_view file_path,
                         std::string_view base_name) {
  if (CannotBeQuoted(file_path) || CannotBeQuoted(base_name)) {
    throw FileError("cannot rip", file_path,
                    "its name holds a double quote, a control character or a "
                    "path separator, which a batch script can't quote as a "
                    "bare file name");
  }
  std::optional<std::string> path_bytes = EncodeForScript(file_path);
  std::optional<std::string> base_bytes = EncodeForScript(base_name);
  if (!path_bytes || !base_bytes) {
    throw FileError("cannot rip", file_path,
                    "its name can't be written in " + ScriptCodePage() +
                        ", in which the command interpreter reads the script");
  }
  cut_start_ = "quarnel \"";
  AppendPercentEscaped(cut_start_, *path_bytes);
  cut_start_ += "\" ";
  folder_ = "EXT_";
  AppendPercentEscaped(folder_, *base_bytes);
}

void ScriptLines::AppendDirectoryLine(std::string& out) const {
  out += "MD \"";
  out += folder_;
  out += '"';
  out += kEnd;
}

void ScriptLines::AppendCut(std::string& out, std::string_view extension,
                            int32_t first, int32_t last) const {
  out += cut_start_;
  out += piece_stem_;
  out += extension;
  out += "\" 0x";
  AppendHexText(out, first);
  out += " 0x";
  AppendHexText(out, last);
  out += kEnd;
}

// The ten paths of a block share their start ("EXT_music\sfx\door), which
// is escaped once. A rip writes hundreds of bytes a block for every entry,
// so the fixed text between the paths goes in as few pieces as it can.
void ScriptLines::AppendBlock(std::string& out, std::string_view entry_name,
                              const PieceRanges& ranges) {
  piece_stem_ = '"';
  piece_stem_ += folder_;
  piece_stem_ += '\\';
  AppendPercentEscaped(piece_stem_, entry_name);
  AppendCut(out, ".mainhd", ranges.RecordFirst, ranges.RecordLast);
  AppendCut(out, ".strhd", ranges.HeaderFirst, ranges.HeaderLast);
  AppendCut(out, ".strbd", ranges.BodyFirst, ranges.BodyLast);
  out += "COPY /B ";
  for (std::string_view after : kCopyAndDeletes) {
    out += piece_stem_;
    out += after;
  }
}

}  // namespace brimwald
