#include "program_options/command_line.h"

namespace brimwald {

std::unique_ptr<CLI::App> MakeApp(const Program& program,
                                  const std::string& description,
                                  const std::string& footer) {
  auto app = std::make_unique<CLI::App>(description, std::string(program.name));
  app->set_version_flag("--version",
                        std::string(program.name) + " " + BRIMWALD_VERSION);
  app->footer(footer);
  return app;
}

int UsageError(const Program& program, std::ostream& err,
               std::string_view problem) {
  err << program.name << ": " << problem << '\n'
      << program.usage << "Try '" << program.name
      << " --help' for more information.\n";
  return kExitUsage;
}

std::optional<int> Parse(const Program& program, CLI::App& app,
                         const std::vector<std::string>& args,
                         std::ostream& out, std::ostream& err) {
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitOk;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return kExitOk;
  } catch (const CLI::ParseError& error) {
    return UsageError(program, err, error.what());
  }
  return std::nullopt;
}

void Report(const Program& program, std::ostream& err,
            std::string_view message) {
  err << program.name << ": " << message << '\n';
}

}  // namespace brimwald
