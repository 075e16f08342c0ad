// Running the command line in the tests' own process.

#ifndef BRIMWALD_CLI_CLI_TEST_SUPPORT_H_
#define BRIMWALD_CLI_CLI_TEST_SUPPORT_H_

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "testing/command_result.h"

namespace brimwald::testing {

/// Runs the command line `args` in this process, its output not a terminal.
inline CommandResult RunCliWith(const std::vector<std::string>& args) {
  return RunInProcess([](const std::vector<std::string>& a, std::ostream& out,
                         std::ostream& err) { return RunCli(a, out, err); },
                      args);
}

}  // namespace brimwald::testing

#endif  // BRIMWALD_CLI_CLI_TEST_SUPPORT_H_
