#include "cli/cli.h"

#include <exception>
#include <filesystem>
#include <string_view>

#include "cli/command_line.h"
#include "container/inspection.h"
#include "container/selection.h"
#include "rip/rip_script.h"
#include "text/file_error.h"

namespace brimwald {
namespace {

constexpr std::string_view kUsageLines =
    "Usage: brimwald-ripper-cli inspect FILE\n"
    "       brimwald-ripper-cli rip FILE...\n";

constexpr std::string_view kHelp =
    "Reads stream containers (.str) and writes their rip scripts.\n"
    "\n"
    "Commands:\n"
    "  inspect FILE   check FILE's magic and show where its VFS table starts\n"
    "                 and how many files it holds\n"
    "  rip FILE...    write RIP_<name>.bat beside each FILE; run the script\n"
    "                 from that folder to cut the files out with quarnel\n"
    "\n"
    "Options:\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Exit status: 0 on success, 1 when a file is not a container or an error\n"
    "occurs, 2 for bad arguments.\n";

constexpr Program kProgram = {"brimwald-ripper-cli", kUsageLines, kHelp};

int UsageError(std::ostream& err, std::string_view problem) {
  return brimwald::UsageError(kProgram, err, problem);
}

// Inspects `file` (any path) as the window inspects a bare name in the
// current directory: the name goes to the selection, the folder beside it.
std::string InspectPath(const std::string& file, Selection& selection) {
  std::filesystem::path path(file);
  std::string name = path.filename().string();
  if (name.empty() || name == "." || name == "..") {
    throw FileError("cannot open", file, "it names a folder, not a file");
  }
  return Inspect(name, selection, path.parent_path().string());
}

// The label's CR LF is one line break on a terminal.
std::string TerminalText(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos;
       at = text.find("\r\n", at)) {
    text.erase(at, 1);
  }
  return text;
}

int InspectCommand(const std::string& file, std::ostream& out) {
  Selection selection;
  std::string text = InspectPath(file, selection);
  out << TerminalText(text) << '\n';
  return selection.Passed ? kExitOk : kExitFailed;
}

void RipOne(const std::string& file, std::ostream& out) {
  Selection selection;
  std::string text = InspectPath(file, selection);
  if (!selection.Passed) {
    throw FileError("cannot rip", file,
                    "not a stream container (" + text + ")");
  }
  Rip(
      selection, [](const std::string&) {}, [] {});
  out << PathInDirectory(selection, ScriptName(selection)) << '\n';
}

int RipCommand(const std::vector<std::string>& files, std::ostream& out,
               std::ostream& err) {
  int status = kExitOk;
  for (const std::string& file : files) {
    try {
      RipOne(file, out);
    } catch (const std::exception& error) {
      err << kProgram.name << ": " << error.what() << '\n';
      status = kExitFailed;
    }
  }
  return status;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err) {
  std::vector<std::string> operands;
  if (std::optional<int> settled =
          ReadOptions(kProgram, args, operands, out, err)) {
    return *settled;
  }
  if (operands.empty()) return UsageError(err, "missing command");
  const std::string& command = operands.front();
  std::vector<std::string> files(operands.begin() + 1, operands.end());
  if (command == "inspect") {
    if (files.size() != 1) {
      return UsageError(err, "inspect takes exactly one FILE");
    }
    try {
      return InspectCommand(files.front(), out);
    } catch (const std::exception& error) {
      err << kProgram.name << ": " << error.what() << '\n';
      return kExitFailed;
    }
  }
  if (command == "rip") {
    if (files.empty()) return UsageError(err, "rip needs at least one FILE");
    return RipCommand(files, out, err);
  }
  return UsageError(err, "unknown command '" + command + "'");
}

}  // namespace brimwald
