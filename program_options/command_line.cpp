#include "program_options/command_line.h"

#include <algorithm>
#include <utility>

namespace brimwald {
namespace {

constexpr std::string_view kUsagePrefix = "Usage: ";
constexpr std::string_view kUsageIndent = "       ";

std::vector<std::string_view> LinesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

// Whether `line` is a synopsis of `command`: its program name comes first,
// after "Usage: " or as much indentation, then the command's name.
bool IsSynopsisOf(std::string_view line, const Program& program,
                  std::string_view command) {
  if (!line.starts_with(kUsagePrefix) && !line.starts_with(kUsageIndent)) {
    return false;
  }
  std::string_view rest = line.substr(kUsagePrefix.size());
  std::string start = std::string(program.name) + " " + std::string(command);
  return rest.starts_with(start) &&
         (rest.size() == start.size() || rest[start.size()] == ' ');
}

// Where a help line's text starts: after the name it begins with and the
// run of spaces that follows it, or at its first character that isn't a
// space when it has no such run.
size_t HangingIndent(std::string_view line) {
  size_t start = line.find_first_not_of(' ');
  if (start == std::string_view::npos) return 0;
  size_t gap = line.find("  ", start);
  size_t text = gap == std::string_view::npos
                    ? std::string_view::npos
                    : line.find_first_not_of(' ', gap);
  return text == std::string_view::npos ? start : text;
}

void AppendWrapped(std::string_view line, size_t columns, std::string& out) {
  size_t indent = HangingIndent(line);
  // A name so long that little room would be left is not hung from.
  if (indent > columns / 2) indent = std::min<size_t>(8, columns / 2);
  std::string_view rest = line;
  size_t lead = 0;
  // A cut before the text of a help line's first row would leave the name
  // alone on it.
  size_t first_cut = std::max<size_t>(indent, 1);
  while (lead + rest.size() > columns) {
    size_t room = columns - lead;
    size_t cut = rest.rfind(' ', room);
    // A word longer than the room stays whole.
    if (cut == std::string_view::npos || cut < first_cut) {
      cut = rest.find(' ', std::max(room, first_cut));
    }
    if (cut == std::string_view::npos) break;
    std::string_view piece = rest.substr(0, cut);
    out.append(piece.substr(0, piece.find_last_not_of(' ') + 1));
    out += '\n';
    rest.remove_prefix(cut);
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    if (rest.empty()) return;
    out.append(indent, ' ');
    lead = indent;
    first_cut = 1;
  }
  out.append(rest);
  out += '\n';
}

const char* const kDashHint =
    " (use -- before a file name that starts with '-')";

// The first argument that `command` or a command above it didn't take as
// an option, if any, and the command it was given to; arguments after
// "--" are never options.
std::optional<std::pair<std::string, const CLI::App*>> UnknownOption(
    const CLI::App& command) {
  for (const CLI::App* at = &command; at != nullptr; at = at->get_parent()) {
    for (const std::string& arg : at->remaining()) {
      if (arg == "--") break;
      if (arg.size() > 1 && arg[0] == '-') return std::pair(arg, at);
    }
  }
  return std::nullopt;
}

// The usage error for `error`, of the command that was being read.
int ParseErrorOf(const Program& program, const CLI::App& app,
                 const CLI::ParseError& error, std::ostream& err) {
  const CLI::App* at = &app;
  std::vector<CLI::App*> parsed = app.get_subcommands();
  if (!parsed.empty()) at = parsed.back();
  std::string command = at == &app ? "" : at->get_name();
  if (auto unknown = UnknownOption(*at)) {
    const auto& [option, given_to] = *unknown;
    return UsageError(program, err,
                      "unknown option '" + option + "'" + kDashHint,
                      given_to == &app ? "" : given_to->get_name());
  }
  const bool has_commands =
      !app.get_subcommands([](const CLI::App*) { return true; }).empty();
  if (has_commands && at == &app) {
    std::vector<std::string> left = app.remaining();
    if (left.empty() || left.front() == "--") {
      return UsageError(program, err, "a command is required");
    }
    return UsageError(program, err, "unknown command '" + left.front() + "'");
  }
  return UsageError(program, err, error.what(), command);
}

}  // namespace

std::unique_ptr<CLI::App> MakeApp(const Program& program,
                                  const std::string& description,
                                  const std::string& footer) {
  auto app = std::make_unique<CLI::App>(description, std::string(program.name));
  app->set_version_flag("-v,-V,--version",
                        std::string(program.name) + " " + BRIMWALD_VERSION);
  app->footer(footer);
  return app;
}

std::string CommandUsage(const Program& program, std::string_view command) {
  if (command.empty()) return std::string(program.usage);
  std::vector<std::string_view> lines = LinesOf(program.usage);
  std::string usage;
  for (std::string_view line : lines) {
    if (!IsSynopsisOf(line, program, command)) continue;
    usage += usage.empty() ? kUsagePrefix : kUsageIndent;
    usage += line.substr(kUsagePrefix.size());
    usage += '\n';
  }
  if (usage.empty()) return std::string(program.usage);
  const std::string synopses = usage;
  for (std::string_view line : lines) {
    size_t colon = line.find(": ");
    if (colon == std::string_view::npos || line.starts_with(' ') ||
        line.starts_with(kUsagePrefix)) {
      continue;
    }
    if (synopses.find(line.substr(0, colon)) != std::string::npos) {
      usage += line;
      usage += '\n';
    }
  }
  return usage;
}

int UsageError(const Program& program, std::ostream& err,
               std::string_view problem, std::string_view command) {
  std::string name(program.name);
  if (!command.empty()) name += " " + std::string(command);
  err << program.name << ": " << problem << '\n'
      << CommandUsage(program, command) << "Try '" << name
      << " --help' for more information.\n";
  return kExitUsage;
}

std::string Wrapped(std::string_view text, size_t columns) {
  std::string out;
  for (std::string_view line : LinesOf(text)) {
    AppendWrapped(line, columns, out);
  }
  if (!text.empty() && !text.ends_with('\n')) out.pop_back();
  return out;
}

std::optional<int> Parse(const Program& program, CLI::App& app,
                         const std::vector<std::string>& args,
                         std::ostream& out, std::ostream& err) {
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << Wrapped(app.help(), kHelpColumns);
    return kExitOk;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return kExitOk;
  } catch (const CLI::ParseError& error) {
    return ParseErrorOf(program, app, error, err);
  }
  return std::nullopt;
}

void Report(const Program& program, std::ostream& err,
            std::string_view message) {
  err << program.name << ": " << message << '\n';
}

}  // namespace brimwald
