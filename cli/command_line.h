// What the project's command-line programs share: the conventional options
// (--help, --version, "--" to end options) and usage errors.

#ifndef BRIMWALD_CLI_COMMAND_LINE_H_
#define BRIMWALD_CLI_COMMAND_LINE_H_

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace brimwald {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

/// A command-line program's texts.
struct Program {
  std::string_view name;   // e.g. "quarnel"
  std::string_view usage;  // "Usage: ..." lines, each ending in "\n"
  std::string_view help;   // what follows the usage under --help
};

/// Writes "<name>: <problem>", the usage and a pointer to --help to `err`;
/// returns kExitUsage.
int UsageError(const Program& program, std::ostream& err,
               std::string_view problem);

/// Collects the operands of `args` into `operands`. Options may stand
/// anywhere before "--"; "-" alone is an operand. --help (-h) and --version
/// print to `out` and settle the run, as does an unknown option (a usage
/// error): the exit status is returned then, nothing otherwise.
std::optional<int> ReadOptions(const Program& program,
                               const std::vector<std::string>& args,
                               std::vector<std::string>& operands,
                               std::ostream& out, std::ostream& err);

}  // namespace brimwald

#endif  // BRIMWALD_CLI_COMMAND_LINE_H_
