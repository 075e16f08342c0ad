#include "cli/replace_commands.h"

#include <optional>

#include "base/error.h"
#include "cli/report_json.h"
#include "cli/verify_report.h"
#include "replace/replace.h"
#include "replace/update.h"
#include "replace/update_report.h"
#include "table/table_walk.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

// Each refusal on its own line; whether there was none.
bool ReportRefusals(const Program& program, std::ostream& err,
                    const std::vector<std::string>& refusals) {
  for (const std::string& refusal : refusals) Report(program, err, refusal);
  return refusals.empty();
}

}  // namespace

int ReplaceCommand(const Program& program, const Selection& selection,
                   const ReplaceOptions& options, std::ostream& out,
                   std::ostream& err) {
  if (options.pairs.size() % 2 != 0) {
    return UsageError(program, err,
                      "replace takes ENTRY FILE.qvstr pairs; '" +
                          options.pairs.back() + "' has no file",
                      "replace");
  }
  if (options.backup && !options.output.empty()) {
    return UsageError(program, err,
                      "--backup keeps the container replaced, and -o leaves "
                      "it as it is; give one of them",
                      "replace");
  }
  // The container is read through this one open file to the end.
  std::optional<TableWalk> walk(std::in_place, selection);
  std::vector<Replacement> replacements;
  ReplaceResult result;
  try {
    for (size_t i = 0; i < options.pairs.size(); i += 2) {
      replacements.push_back(
          {FindEntry(*walk, options.container, options.pairs[i]),
           options.pairs[i + 1]});
    }
    ReplaceSettings settings;
    settings.output = options.output;
    settings.backup = options.backup;
    result = Replace(walk, replacements, settings);
  } catch (const Error& error) {
    if (error.kind() != ErrorKind::kUsage) throw;
    Report(program, err, error.what());
    return kExitFailed;
  }
  std::vector<std::string> refusals;
  for (const ReplacedEntry& entry : result.entries) {
    if (!entry.refusal.empty()) refusals.push_back(entry.refusal);
  }
  if (!ReportRefusals(program, err, refusals)) {
    out << options.container << ": nothing replaced\n";
    return kExitFailed;
  }
  for (const ReplacedEntry& entry : result.entries) {
    out << ReplacedLine(entry) << '\n';
  }
  out << (options.output.empty() ? options.container : options.output) << ": "
      << CountText(static_cast<int64_t>(result.entries.size()), "entry",
                   "entries")
      << " replaced\n";
  return kExitOk;
}

int UpdateCommand(const Program& program, const Selection& selection,
                  const UpdateOptions& options, std::ostream& out,
                  std::ostream& err) {
  UpdateResult result =
      Update(selection, {options.directory, options.dry_run, options.backup});
  if (options.json) {
    out << UpdateJson(options.container, result, options.dry_run).dump()
        << '\n';
    return result.Complete() ? kExitOk : kExitFailed;
  }
  UpdateReport report = UpdateReportOf(result, options.dry_run);
  for (const std::string& line : report.findings) Report(program, err, line);
  for (const std::string& line : report.replaced) out << line << '\n';
  out << report.summary << '\n';
  return result.Complete() ? kExitOk : kExitFailed;
}

}  // namespace brimwald
