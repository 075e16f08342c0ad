#include "cli/command_line.h"

namespace brimwald {

int UsageError(const Program& program, std::ostream& err,
               std::string_view problem) {
  err << program.name << ": " << problem << '\n'
      << program.usage << "Try '" << program.name
      << " --help' for more information.\n";
  return kExitUsage;
}

std::optional<int> ReadOptions(const Program& program,
                               const std::vector<std::string>& args,
                               std::vector<std::string>& operands,
                               std::ostream& out, std::ostream& err) {
  bool options_done = false;
  for (const std::string& arg : args) {
    if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
      operands.push_back(arg);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--help" || arg == "-h") {
      out << program.usage << '\n' << program.help;
      return kExitOk;
    } else if (arg == "--version") {
      out << program.name << ' ' << BRIMWALD_VERSION << '\n';
      return kExitOk;
    } else {
      return UsageError(program, err, "unknown option '" + arg + "'");
    }
  }
  return std::nullopt;
}

}  // namespace brimwald
