// `replace CONTAINER ENTRY FILE.qvstr [ENTRY FILE.qvstr]... [-o OUTPUT | -b]`
// and `update CONTAINER [-C DIR] [--dry-run] [-b]`: putting streams back.

#ifndef BRIMWALD_CLI_REPLACE_COMMANDS_H_
#define BRIMWALD_CLI_REPLACE_COMMANDS_H_

#include <ostream>
#include <string>
#include <vector>

#include "container/selection.h"
#include "program_options/command_line.h"

namespace brimwald {

struct ReplaceOptions {
  std::string container;
  /// ENTRY FILE.qvstr pairs, one after the other.
  std::vector<std::string> pairs;
  std::string output;
  bool backup = false;
};

struct UpdateOptions {
  std::string container;
  std::string directory;
  bool dry_run = false;
  bool json = false;
  bool backup = false;
};

/// Runs `replace` on the container `selection` describes; the exit status.
int ReplaceCommand(const Program& program, const Selection& selection,
                   const ReplaceOptions& options, std::ostream& out,
                   std::ostream& err);

/// Runs `update`; the exit status. With `json`, what the check found goes
/// into the JSON object on `out` instead of to `err`.
int UpdateCommand(const Program& program, const Selection& selection,
                  const UpdateOptions& options, std::ostream& out,
                  std::ostream& err);

}  // namespace brimwald

#endif  // BRIMWALD_CLI_REPLACE_COMMANDS_H_
