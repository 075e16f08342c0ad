#ifndef BRIMWALD_TESTING_COMMAND_RESULT_H_
#define BRIMWALD_TESTING_COMMAND_RESULT_H_

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

/// `text` as one word for the POSIX shell, whatever bytes it holds.
std::string ShellWord(const std::string& text);

/// Runs `command` through the shell; its exit status, or -1 when it didn't
/// exit normally.
int ExitStatusOf(const std::string& command);

}  // namespace brimwald::testing

#endif  // BRIMWALD_TESTING_COMMAND_RESULT_H_
