// Feeds arbitrary FIRST and LAST texts and input sizes to quarnel: the
// offset parser must accept exactly "0x" and 1 to 8 hex digits, and a cut
// either writes exactly the asked bytes or fails and leaves nothing behind,
// not even the folder it made for its output.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "cut/cut_range.h"
#include "fuzz/fuzz_check.h"
#include "quarnel/quarnel.h"
#include "testing/temp_dir.h"
#include "text/text_format.h"

namespace {

namespace fs = std::filesystem;

bool LooksLikeOffset(std::string_view text) {
  if (!text.starts_with("0x")) return false;
  std::string_view digits = text.substr(2);
  if (digits.empty() || digits.size() > 8) return false;
  return digits.find_first_not_of("0123456789abcdefABCDEF") ==
         std::string_view::npos;
}

void CheckParse(std::string_view text) {
  std::optional<int32_t> value = brimwald::ParseOffset(text);
  FUZZ_CHECK(value.has_value() == LooksLikeOffset(text));
  if (value) {
    FUZZ_CHECK(brimwald::ParseOffset("0x" + brimwald::HexText(*value)) ==
               value);
  }
}

std::string_view TakeLine(std::string_view& input) {
  size_t end = input.find('\n');
  std::string_view line = input.substr(0, end);
  input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) return 0;
  const size_t input_size = static_cast<unsigned char>(input.front()) * 7u;
  input.remove_prefix(1);
  const std::string first(TakeLine(input));
  const std::string last(TakeLine(input));
  CheckParse(first);
  CheckParse(last);

  // Removed with everything in it when the program ends.
  static const brimwald::testing::TempDir work_dir;
  const fs::path dir = work_dir.path();
  fs::remove_all(dir / "sub");
  std::string bytes(input_size, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>(i * 13 + 5);
  }
  const fs::path source = dir / "in.str";
  brimwald::testing::WriteFile(source.string(), bytes);
  const fs::path target = dir / "sub" / "out.bin";

  std::ostringstream out, err;
  int status = brimwald::quarnel::RunQuarnel(
      {source.string(), target.string(), first, last}, out, err);

  std::optional<int32_t> from = brimwald::ParseOffset(first);
  std::optional<int32_t> to = brimwald::ParseOffset(last);
  bool valid = from && to && *from >= 0 && int64_t{*to} >= int64_t{*from} - 1 &&
               int64_t{*to} < static_cast<int64_t>(input_size);
  if (valid) {
    FUZZ_CHECK(status == 0);
    FUZZ_CHECK(brimwald::testing::ReadFile(target.string()) ==
               bytes.substr(static_cast<size_t>(*from),
                            static_cast<size_t>(int64_t{*to} - *from + 1)));
  } else if (status != 0 ||
             !(first.starts_with("-") || last.starts_with("-"))) {
    // Options such as --help may settle a run; anything else must fail
    // cleanly.
    FUZZ_CHECK(status == 1 || status == 2);
    FUZZ_CHECK(!err.str().empty());
    FUZZ_CHECK(!fs::exists(dir / "sub"));
  }
  return 0;
}
