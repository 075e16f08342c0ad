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
/// An interrupted run's status, as a shell reports a run that SIGINT ended.
inline constexpr int kExitInterrupted = 130;

/// The width that help texts are wrapped at.
inline constexpr size_t kHelpColumns = 80;

/// A command-line program's texts.
struct Program {
  std::string_view name;  // e.g. "quarnel"
  /// "Usage: ..." lines, each ending in "\n": one synopsis a line, the
  /// first after "Usage: ", the others indented as far; then lines that
  /// explain a word of the synopses ("CHOICE: ...").
  std::string_view usage;
};

/// An App for `program` with --help, --version (also -v and -V) and
/// `footer` below the generated help.
std::unique_ptr<CLI::App> MakeApp(const Program& program,
                                  const std::string& description,
                                  const std::string& footer);

/// The synopses of `command` in `program.usage`, with the lines that explain
/// their words; all of the usage for "".
std::string CommandUsage(const Program& program, std::string_view command);

/// Writes "<name>: <problem>", the usage of `command` ("": the whole
/// program's) and a pointer to its --help to `err`; returns kExitUsage.
int UsageError(const Program& program, std::ostream& err,
               std::string_view problem, std::string_view command = "");

/// `text` with every line longer than `columns` broken at spaces; a broken
/// line goes on at the column where its text (after the option or command
/// name of a help line) starts.
std::string Wrapped(std::string_view text, size_t columns);

/// Parses `args` (without the program name) with `app`. --help and
/// --version print to `out` and settle the run with kExitOk, a parse error
/// settles it with a usage error of the command at fault: the exit status
/// is returned then, nothing otherwise.
std::optional<int> Parse(const Program& program, CLI::App& app,
                         const std::vector<std::string>& args,
                         std::ostream& out, std::ostream& err);

/// Writes "<name>: <message>" to `err`.
void Report(const Program& program, std::ostream& err,
            std::string_view message);

}  // namespace brimwald

#endif  // BRIMWALD_PROGRAM_OPTIONS_COMMAND_LINE_H_
