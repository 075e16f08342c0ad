#include "cli/replace_commands.h"

#include <optional>

#include "base/error.h"
#include "cli/verify_report.h"
#include "replace/replace.h"
#include "replace/update.h"
#include "table/table_walk.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

std::string Where(bool appended, int32_t offset) {
  return (appended ? "appended at 0x" : "kept at 0x") + HexText(offset);
}

// "entry 3 'sfx\door': header kept at 0x4C0, body appended at 0x2000"
void PrintReplaced(std::ostream& out, const ReplacedEntry& done) {
  out << "entry " << done.index << " '" << done.name << "': header "
      << Where(done.header_appended, done.header_offset) << ", body "
      << Where(done.body_appended, done.body_offset) << '\n';
}

// Each refusal on its own line; whether there was none.
bool ReportRefusals(const Program& program, std::ostream& err,
                    const std::vector<std::string>& refusals) {
  for (const std::string& refusal : refusals) Report(program, err, refusal);
  return refusals.empty();
}

// What the check found that the update leaves alone, with what it did:
// nothing, as each line says.
void ReportLeftAlone(const Program& program, std::ostream& err,
                     const std::vector<VerifyFinding>& findings) {
  for (const VerifyFinding& finding : findings) {
    std::string line = VerifyReport::Line(finding);
    if (finding.kind != VerifyFinding::Kind::kNote) line += "; left alone";
    Report(program, err, line);
  }
}

std::string Summary(const UpdateResult& result, bool dry_run) {
  std::string text = result.folder + ": " +
                     CountText(static_cast<int64_t>(result.replaced.size()),
                               "entry", "entries");
  if (!result.refusals.empty()) {
    return text + " not replaced: " +
           CountText(static_cast<int64_t>(result.refusals.size()), "file",
                     "files") +
           " can't be taken back, so nothing written";
  }
  if (dry_run) return text + " would be replaced (dry run: nothing written)";
  if (result.abandoned) return text + " not replaced: stopped, nothing written";
  return text + " replaced";
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
  for (const ReplacedEntry& entry : result.entries) PrintReplaced(out, entry);
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
  ReportLeftAlone(program, err, result.others);
  ReportRefusals(program, err, result.refusals);
  ReportRefusals(program, err, result.unsettled);
  if (result.refusals.empty()) {
    for (const ReplacedEntry& entry : result.replaced) {
      PrintReplaced(out, entry);
    }
  }
  out << Summary(result, options.dry_run) << '\n';
  return result.Complete() ? kExitOk : kExitFailed;
}

}  // namespace brimwald
