// The command-line front end: `inspect FILE...`, `rip FILE...`, `list FILE`,
// `extract FILE...` and `verify FILE...`.

#ifndef BRIMWALD_CLI_CLI_H_
#define BRIMWALD_CLI_CLI_H_

#include <ostream>
#include <string>
#include <vector>

namespace brimwald {

/// What the command line knows of the standard streams behind its `out`
/// and `err`.
struct StandardStreams {
  /// The width of the terminal that `err` is, where the extraction draws
  /// its progress line; 0 when `err` is no terminal, and no line is drawn.
  int progress_columns = 0;
  /// Whether `out` is a terminal, where entry bytes are never written.
  bool out_is_terminal = false;
  /// Makes `out` carry bytes unchanged, before entry bytes go to it; none
  /// when it does already.
  void (*make_out_binary)() = nullptr;
};

/// Runs the command line `args` (without the program name), writing results
/// to `out` and diagnostics to `err`. Returns the exit status: 0 success, 1
/// an invalid file or an error, 2 bad arguments.
int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, const StandardStreams& streams = {});

}  // namespace brimwald

#endif  // BRIMWALD_CLI_CLI_H_
