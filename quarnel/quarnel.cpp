#include "quarnel/quarnel.h"

#include <exception>
#include <optional>
#include <string_view>

#include "cli/command_line.h"
#include "quarnel/cut_range.h"

namespace brimwald::quarnel {
namespace {

constexpr std::string_view kUsageLine =
    "Usage: quarnel INPUT OUTPUT FIRST LAST\n";

constexpr std::string_view kHelp =
    "Writes the bytes of INPUT from offset FIRST through offset LAST, both\n"
    "inclusive, into OUTPUT, and creates OUTPUT's missing folders.\n"
    "\n"
    "FIRST and LAST are \"0x\" and 1 to 8 hex digits, read as signed 32-bit\n"
    "numbers: 0xFFFFFFFF is -1, so FIRST 0x0 and LAST 0xFFFFFFFF make an\n"
    "empty OUTPUT. A negative FIRST, a LAST below FIRST - 1 and a range past\n"
    "the end of INPUT are errors.\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 on success, 1 when the range or a file is at fault (no\n"
    "OUTPUT is written then, and an older one is left as it was), 2 for bad\n"
    "arguments.\n";

constexpr Program kProgram = {"quarnel", kUsageLine, kHelp};

int UsageError(std::ostream& err, std::string_view problem) {
  return brimwald::UsageError(kProgram, err, problem);
}

int BadOffset(std::ostream& err, std::string_view name,
              const std::string& text) {
  return UsageError(err, std::string(name) + " '" + text +
                             "' is not \"0x\" and 1 to 8 hex digits");
}

}  // namespace

int RunQuarnel(const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
  std::vector<std::string> values;
  if (std::optional<int> settled =
          ReadOptions(kProgram, args, values, out, err)) {
    return *settled;
  }
  if (values.size() != 4) {
    return UsageError(
        err, "expected 4 arguments, got " + std::to_string(values.size()));
  }
  std::optional<int32_t> first = ParseOffset(values[2]);
  if (!first) return BadOffset(err, "FIRST", values[2]);
  std::optional<int32_t> last = ParseOffset(values[3]);
  if (!last) return BadOffset(err, "LAST", values[3]);
  try {
    CutRange(values[0], values[1], *first, *last);
  } catch (const std::exception& error) {
    err << kProgram.name << ": " << error.what() << '\n';
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace brimwald::quarnel
