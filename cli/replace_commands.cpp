#include "cli/replace_commands.h"

#include "base/error.h"
#include "replace/replace.h"
#include "replace/update.h"
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

}  // namespace

int ReplaceCommand(const Program& program, const Selection& selection,
                   const ReplaceOptions& options, std::ostream& out,
                   std::ostream& err) {
  if (options.pairs.size() % 2 != 0) {
    return UsageError(program, err,
                      "replace takes ENTRY FILE.qvstr pairs; '" +
                          options.pairs.back() + "' has no file");
  }
  std::vector<Replacement> replacements;
  try {
    for (size_t i = 0; i < options.pairs.size(); i += 2) {
      replacements.push_back(
          {FindEntry(selection, options.pairs[i]), options.pairs[i + 1]});
    }
  } catch (const Error& error) {
    if (error.kind() != ErrorKind::kUsage) throw;
    Report(program, err, error.what());
    return kExitFailed;
  }
  std::vector<ReplacedEntry> done =
      ReplaceEntries(selection, replacements, options.output);
  for (const ReplacedEntry& entry : done) PrintReplaced(out, entry);
  out << (options.output.empty() ? options.container : options.output) << ": "
      << CountText(static_cast<int64_t>(done.size()), "entry", "entries")
      << " replaced\n";
  return kExitOk;
}

int UpdateCommand(const Program& program, const Selection& selection,
                  const UpdateOptions& options, std::ostream& out,
                  std::ostream& err) {
  UpdateResult result = Update(selection, options.directory, options.dry_run);
  for (const VerifyFinding& finding : result.others) {
    if (finding.kind == VerifyFinding::Kind::kStray) {
      Report(program, err,
             "'" + finding.path + "': no entry of '" + options.container +
                 "' leaves this file; left alone");
    }
  }
  for (const ReplacedEntry& entry : result.replaced) PrintReplaced(out, entry);
  out << result.folder << ": "
      << CountText(static_cast<int64_t>(result.replaced.size()), "entry",
                   "entries")
      << (options.dry_run ? " would be replaced (dry run: nothing written)\n"
                          : " replaced\n");
  return kExitOk;
}

}  // namespace brimwald
