#include "quarnel/quarnel.h"

#include <exception>
#include <optional>
#include <string_view>

#include "base/error.h"
#include "cut/cut_range.h"
#include "io/file_arguments.h"
#include "program_options/command_line.h"

namespace brimwald::quarnel {
namespace {

constexpr Program kProgram = {"quarnel",
                              "Usage: quarnel INPUT OUTPUT FIRST LAST\n"};

constexpr const char* kDescription =
    "Writes the bytes of INPUT from offset FIRST through offset LAST, both\n"
    "inclusive, into OUTPUT, and creates OUTPUT's missing folders.";

constexpr const char* kFooter =
    "FIRST and LAST are \"0x\" and 1 to 8 hex digits, read as signed 32-bit\n"
    "numbers: 0xFFFFFFFF is -1, so FIRST 0x0 and LAST 0xFFFFFFFF make an\n"
    "empty OUTPUT. A negative FIRST, a LAST below FIRST - 1 and a range past\n"
    "the end of INPUT are errors.\n"
    "\n"
    "Four arguments are always the four operands, whatever they look like;\n"
    "options are read only from a single argument.\n"
    "\n"
    "Exit status: 0 on success, 1 when the range or a file is at fault (no\n"
    "OUTPUT is written then, and an older one is left as it was), 2 for bad\n"
    "arguments.";

int BadOffset(std::ostream& err, std::string_view name,
              const std::string& text) {
  return UsageError(kProgram, err,
                    std::string(name) + " '" + text +
                        "' is not \"0x\" and 1 to 8 hex digits");
}

}  // namespace

int RunQuarnel(const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
  std::unique_ptr<CLI::App> app_owner =
      MakeApp(kProgram, kDescription, kFooter);
  CLI::App& app = *app_owner;
  std::string input, output, first_text, last_text;
  app.add_option("INPUT", input, "the file to cut from")->required();
  app.add_option("OUTPUT", output, "the file to write")->required();
  app.add_option("FIRST", first_text, "the first offset of the range")
      ->required();
  app.add_option("LAST", last_text, "the last offset of the range")->required();
  // A rip script names the container first, and a container may be called
  // "-music.str": four arguments are operands, never options.
  std::vector<std::string> operands = args;
  if (operands.size() == 4) operands.insert(operands.begin(), "--");
  if (std::optional<int> settled = Parse(kProgram, app, operands, out, err)) {
    return *settled;
  }
  // Only INPUT is a file that is there to match: OUTPUT is made, and the
  // offsets are numbers.
  try {
    input = ExpandOneFileArgument(input, "INPUT");
  } catch (const Error& error) {
    return UsageError(kProgram, err, error.what());
  }
  std::optional<int32_t> first = ParseOffset(first_text);
  if (!first) return BadOffset(err, "FIRST", first_text);
  std::optional<int32_t> last = ParseOffset(last_text);
  if (!last) return BadOffset(err, "LAST", last_text);
  try {
    CutRange(input, output, *first, *last);
  } catch (const std::exception& error) {
    Report(kProgram, err, error.what());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace brimwald::quarnel
