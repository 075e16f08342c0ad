// What the project's command-line programs share: exit statuses, the
// conventional options (--help, --version, "--" to end options) read with
// CLI11, and the form of usage errors and diagnostics.

#ifndef BRIMWALD_PROGRAM_OPTIONS_COMMAND_LINE_H_
#define BRIMWALD_PROGRAM_OPTIONS_COMMAND_LINE_H_

#include <CLI/CLI.hpp>
#include <memory>
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
};

/// An App for `program` with --help, --version and `footer` below the
/// generated help.
std::unique_ptr<CLI::App> MakeApp(const Program& program,
                                  const std::string& description,
                                  const std::string& footer);

/// Writes "<name>: <problem>", the usage and a pointer to --help to `err`;
/// returns kExitUsage.
int UsageError(const Program& program, std::ostream& err,
               std::string_view problem);

/// Parses `args` (without the program name) with `app`. --help and
/// --version print to `out` and settle the run with kExitOk, a parse error
/// settles it with a usage error: the exit status is returned then, nothing
/// otherwise.
std::optional<int> Parse(const Program& program, CLI::App& app,
                         const std::vector<std::string>& args,
                         std::ostream& out, std::ostream& err);

/// Writes "<name>: <message>" to `err`.
void Report(const Program& program, std::ostream& err,
            std::string_view message);

}  // namespace brimwald

#endif  // BRIMWALD_PROGRAM_OPTIONS_COMMAND_LINE_H_
