// The command-line front end: `inspect FILE...`, `rip FILE...`, `list FILE`
// and `extract FILE...`.

#ifndef BRIMWALD_CLI_CLI_H_
#define BRIMWALD_CLI_CLI_H_

#include <ostream>
#include <string>
#include <vector>

namespace brimwald {

/// Runs the command line `args` (without the program name), writing results
/// to `out` and diagnostics to `err`. `progress_columns` is the width of the
/// terminal that `err` is, where the extraction draws its progress line; 0
/// when `err` is no terminal, and no line is drawn. Returns the exit status:
/// 0 success, 1 an invalid file or an error, 2 bad arguments.
int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, int progress_columns = 0);

}  // namespace brimwald

#endif  // BRIMWALD_CLI_CLI_H_
