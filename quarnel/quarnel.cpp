#include "quarnel/quarnel.h"

#include <exception>
#include <optional>
#include <string_view>

#include "quarnel/cut_range.h"

namespace brimwald::quarnel {
namespace {

constexpr std::string_view kProgram = "quarnel";
constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

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

int UsageError(std::ostream& err, std::string_view problem) {
  err << kProgram << ": " << problem << '\n'
      << kUsageLine << "Try '" << kProgram
      << " --help' for more information.\n";
  return kUsage;
}

int BadOffset(std::ostream& err, std::string_view name,
              const std::string& text) {
  return UsageError(err, std::string(name) + " '" + text +
                             "' is not \"0x\" and 1 to 8 hex digits");
}

struct Operands {
  std::vector<std::string> values;
  std::optional<int> finished;  // set when an option settled the run
};

Operands ReadOptions(const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err) {
  Operands operands;
  bool options_done = false;
  for (const std::string& arg : args) {
    if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
      operands.values.push_back(arg);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--help" || arg == "-h") {
      out << kUsageLine << '\n' << kHelp;
      operands.finished = kOk;
      return operands;
    } else if (arg == "--version") {
      out << kProgram << ' ' << BRIMWALD_VERSION << '\n';
      operands.finished = kOk;
      return operands;
    } else {
      operands.finished = UsageError(err, "unknown option '" + arg + "'");
      return operands;
    }
  }
  return operands;
}

}  // namespace

int RunQuarnel(const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
  Operands operands = ReadOptions(args, out, err);
  if (operands.finished) return *operands.finished;
  const std::vector<std::string>& values = operands.values;
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
    err << kProgram << ": " << error.what() << '\n';
    return kFailed;
  }
  return kOk;
}

}  // namespace brimwald::quarnel
