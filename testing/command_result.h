#ifndef BRIMWALD_TESTING_COMMAND_RESULT_H_
#define BRIMWALD_TESTING_COMMAND_RESULT_H_

#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace brimwald::testing {

/// What a command-line program's run gave.
struct CommandResult {
  int status;
  std::string out;
  std::string err;
};

/// Runs a program's in-process entry point `run` (args, out, err) -> status.
template <typename Run>
CommandResult RunInProcess(Run run, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int status = run(args, out, err);
  return {status, out.str(), err.str()};
}

/// What RunProgram makes of standard output: text, whose line ends it
/// makes "\n", or the bytes as the program wrote them.
enum class OutputForm { kLines, kBytes };

/// Runs the program at `program` with `args`, passed as they are with no
/// shell in between, in the folder `directory` ("" for the current one).
/// Its status is -1 when it didn't exit normally; its standard output and
/// error are collected, with line ends as "\n" on every system (standard
/// output as bytes with OutputForm::kBytes). Throws std::runtime_error when
/// it can't be started.
CommandResult RunProgram(const std::string& program,
                         const std::vector<std::string>& args,
                         const std::string& directory = "",
                         OutputForm out_form = OutputForm::kLines);

/// The system's command interpreter, which runs batch scripts given
/// "/c SCRIPT": cmd on Windows, none elsewhere.
std::optional<std::string> CommandInterpreter();

}  // namespace brimwald::testing

#endif  // BRIMWALD_TESTING_COMMAND_RESULT_H_
