// Feeds arbitrary container names, entry names and ranges through the name
// normalisation and the line writer, and checks that whatever the bytes,
// every line stays one line a batch interpreter reads as intended: no
// control byte, balanced quotes, no lone "%", and no ".." path part.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "container/inspection.h"
#include "fuzz/fuzz_check.h"
#include "names/entry_name.h"
#include "rip/script_lines.h"

namespace {

int32_t TakeInt(std::string_view& input) {
  uint32_t value = 0;
  for (int i = 0; i < 4 && !input.empty(); ++i) {
    value = value << 8 | static_cast<unsigned char>(input.front());
    input.remove_prefix(1);
  }
  return static_cast<int32_t>(value);
}

// No part of a written path is "." or "..", with or without trailing spaces.
void CheckPath(std::string_view path) {
  size_t start = 0;
  while (true) {
    size_t end = path.find('\\', start);
    std::string_view part = path.substr(start, end - start);
    size_t kept = part.find_last_not_of(' ');
    part = kept == std::string_view::npos ? "" : part.substr(0, kept + 1);
    FUZZ_CHECK(part != "." && part != "..");
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
}

void CheckLine(std::string_view line) {
  size_t quotes = 0;
  size_t open = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    auto byte = static_cast<unsigned char>(line[i]);
    FUZZ_CHECK(byte >= 0x20);
    if (byte == '%') {
      FUZZ_CHECK(i + 1 < line.size() && line[i + 1] == '%');
      ++i;
    } else if (byte == '"') {
      std::string_view quoted = line.substr(open, i - open);
      // Paths the script writes all lie under EXT_; the container's own
      // name is only read.
      if (++quotes % 2 == 0 && quoted.starts_with("EXT_")) CheckPath(quoted);
      open = i + 1;
    }
  }
  FUZZ_CHECK(quotes % 2 == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  brimwald::PieceRanges ranges;
  ranges.RecordFirst = TakeInt(input);
  ranges.RecordLast = TakeInt(input);
  ranges.HeaderFirst = TakeInt(input);
  ranges.HeaderLast = TakeInt(input);
  ranges.BodyFirst = TakeInt(input);
  ranges.BodyLast = TakeInt(input);
  size_t name_size = 0;
  if (!input.empty()) {
    name_size = size_t{static_cast<unsigned char>(input.front())} % 64;
    input.remove_prefix(1);
  }
  std::string file_name(input.substr(0, name_size));
  input.remove_prefix(std::min(name_size, input.size()));
  std::string_view window = input.substr(0, 512);

  std::string entry_name = brimwald::NormaliseEntryName(window);
  FUZZ_CHECK(entry_name.size() <= 2 * window.size());
  std::string script;
  try {
    brimwald::ScriptLines lines(file_name, brimwald::BaseNameOf(file_name));
    lines.AppendDirectoryLine(script);
    lines.AppendBlock(script, entry_name, ranges);
  } catch (const std::exception&) {
    return 0;  // a container name no batch line can quote
  }
  size_t count = 0;
  for (size_t start = 0; start < script.size(); ++count) {
    size_t end = script.find("\r\n", start);
    FUZZ_CHECK(end != std::string::npos);
    CheckLine(std::string_view(script).substr(start, end - start));
    start = end + 2;
  }
  FUZZ_CHECK(count == 9);
  return 0;
}
