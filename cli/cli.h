// The command-line front end: `inspect FILE`, `rip FILE...`, `list FILE`
// and `extract FILE...`.

#ifndef BRIMWALD_CLI_CLI_H_
#define BRIMWALD_CLI_CLI_H_

#include <ostream>
#include <string>
#include <vector>

namespace brimwald {

/// Runs the command line `args` (without the program name), writing results
/// to `out` and diagnostics to `err`; `err_is_terminal` allows the
/// extraction's progress line. Returns the exit status: 0 success, 1 an
/// invalid file or an error, 2 bad arguments.
int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, bool err_is_terminal = false);

}  // namespace brimwald

#endif  // BRIMWALD_CLI_CLI_H_
