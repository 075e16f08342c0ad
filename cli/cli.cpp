#include "cli/cli.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <string_view>

#include "base/error.h"
#include "cli/choice_options.h"
#include "cli/entry_json.h"
#include "cli/progress_line.h"
#include "cli/replace_commands.h"
#include "cli/report_json.h"
#include "cli/verify_report.h"
#include "container/inspection.h"
#include "container/selection.h"
#include "extract/extract.h"
#include "extract/extract_to_stream.h"
#include "io/chunked_output.h"
#include "io/file_arguments.h"
#include "io/interrupt.h"
#include "io/utf8_path.h"
#include "program_options/command_line.h"
#include "rip/rip_script.h"
#include "table/entry_problems.h"
#include "table/table_walk.h"
#include "text/text_format.h"
#include "verify/verify.h"

namespace brimwald {
namespace {

constexpr Program kProgram = {
    "brimwald-ripper-cli",
    "Usage: brimwald-ripper-cli inspect [--json] FILE...\n"
    "       brimwald-ripper-cli rip FILE...\n"
    "       brimwald-ripper-cli list [--json] [CHOICE] FILE...\n"
    "       brimwald-ripper-cli extract [-C DIR | -O] [--quiet] [--json] "
    "[CHOICE] FILE...\n"
    "       brimwald-ripper-cli verify [-C DIR] [--json] [CHOICE] FILE...\n"
    "       brimwald-ripper-cli replace [-o OUTPUT | -b] CONTAINER ENTRY "
    "FILE.qvstr...\n"
    "       brimwald-ripper-cli update [-C DIR] [--dry-run] [-b] [--json] "
    "CONTAINER\n"
    "CHOICE: [--include PATTERN]... [--exclude PATTERN]... [--index "
    "LIST]...\n"};

constexpr const char* kBackupHelp =
    "keep the container as it was as CONTAINER~ (replacing an older one), "
    "a second link to the old file where the filesystem allows";

constexpr const char* kDescription =
    "Reads stream containers (.str): checks them, writes their rip scripts,\n"
    "lists their entries, extracts them, checks what was extracted and puts\n"
    "edited entries back.";

constexpr const char* kFooter =
    "Exit status: 0 on success, 1 when a file is not a container or an error\n"
    "occurs, 2 for bad arguments.";

struct Options {
  std::vector<std::string> files;
  bool json = false;
  std::string directory;
  bool quiet = false;
  bool to_stdout = false;
  ChoiceOptions choice;
};

// Inspects `file` (any path) as the window inspects a bare name in the
// current directory: the name goes to the selection, the folder beside it.
std::string InspectPath(const std::string& file, Selection& selection) {
  std::filesystem::path path = PathFromUtf8(file);
  std::string name = Utf8FromPath(path.filename());
  if (name.empty() || name == "." || name == "..") {
    throw FileError("cannot open", file, "it names a folder, not a file");
  }
  return Inspect(name, selection, Utf8FromPath(path.parent_path()));
}

// A selection of `file` that passed inspection, for the commands that walk.
Selection Chosen(const std::string& file) {
  Selection selection;
  std::string text = InspectPath(file, selection);
  if (!selection.Passed) {
    throw FileError("cannot read", file,
                    "not a stream container (" + text + ")");
  }
  return selection;
}

// The label's CR LF is one line break on a terminal.
std::string TerminalText(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos;
       at = text.find("\r\n", at)) {
    text.erase(at, 1);
  }
  return text;
}

std::string EntryLabel(const TableEntry& entry) {
  std::string label = "entry " + std::to_string(entry.Index);
  if (!entry.NameLost) label += " '" + entry.Name + "'";
  return label;
}

void Warn(std::ostream& err, const std::string& file, const TableEntry& entry,
          const std::vector<std::string>& problems) {
  for (const std::string& problem : problems) {
    Report(kProgram, err,
           "warning: '" + file + "': " + EntryLabel(entry) + ": " + problem);
  }
}

// Prints the inspection of `file`, under a "==> FILE <==" line when there
// are several files, as `head` does: a blank line before every one but the
// first. A file that can't be read gets no heading, only its error.
bool InspectOne(const std::string& file, bool headed, bool& first,
                JsonArrayOutput* json, std::ostream& out) {
  Selection selection;
  std::string text = InspectPath(file, selection);
  if (json) {
    json->Write(InspectJson(file, selection));
    return selection.Passed;
  }
  if (headed) {
    out << (first ? "" : "\n") << "==> " << file << " <==\n";
    first = false;
  }
  out << TerminalText(text) << '\n';
  return selection.Passed;
}

void RipOne(const std::string& file, std::ostream& out, std::ostream& err) {
  Selection selection = Chosen(file);
  TableWalk lookup(selection);
  EntryProblems problems(lookup, lookup);
  Rip(
      selection,
      [&](const TableEntry& entry) {
        Warn(err, file, entry, problems.Check(entry));
      },
      [] {});
  out << PathInDirectory(selection, ScriptName(selection)) << '\n';
}

// One line of the listing: the container's name first when several are
// listed (`container` not empty).
void WriteLine(std::string& text, const std::string& container,
               const TableEntry& entry) {
  if (!container.empty()) {
    text += container;
    text += '\t';
  }
  text += DecimalText(entry.Index);
  text += '\t';
  text += entry.Name;
  for (int32_t value :
       {entry.RecordOffset, entry.Record.HeaderOffset, entry.Record.HeaderSize,
        entry.Record.BodyOffset, entry.Record.BodySize}) {
    text += '\t';
    text += DecimalText(value);
  }
  text += '\n';
}

// Lists the chosen entries of `file` into `json`, or as lines of text when
// there is none, named when several files are listed. Whether every entry
// could be listed.
bool ListOne(const std::string& file, const Options& options,
             EntryJsonWriter* json, std::ostream& out, std::ostream& err) {
  Selection selection = Chosen(file);
  TableWalk walk(selection);
  TableWalk lookup(selection);
  std::optional<ChunkedOutput> text;
  if (!json) text.emplace(out);
  const std::string named = options.files.size() > 1 ? file : "";
  EntryProblems problems(walk, lookup);
  EntryChoice choice = MakeChoice(options.choice);
  bool listed = true;
  while (walk.Next()) {
    const TableEntry& entry = walk.entry();
    // Every entry counts for the paths that later ones replace.
    std::vector<std::string> found = problems.Check(entry);
    if (!choice.Chooses(entry)) continue;
    if (!entry.Scriptable()) listed = false;
    if (json) {
      json->Write(entry, found);
      continue;
    }
    Warn(err, file, entry, found);
    WriteLine(text->text(), named, entry);
    text->Appended();
  }
  text.reset();
  return EachChoseAnEntry(kProgram, err, file, choice) && listed;
}

// Lists every file, one at a time. A file that can't be read, or whose
// table breaks, is reported and, in the JSON, stands as an entry of its own
// where its entries would be.
int ListCommand(const Options& options, std::ostream& out, std::ostream& err) {
  // The JSON array stands whole whatever ends the listing: it opens before
  // anything can fail and closes as the writer goes.
  std::optional<EntryJsonWriter> json;
  if (options.json) json.emplace(out);
  int status = kExitOk;
  for (const std::string& file : options.files) {
    if (json) json->StartContainer(file);
    try {
      if (!ListOne(file, options, json ? &*json : nullptr, out, err)) {
        status = kExitFailed;
      }
    } catch (const std::exception& error) {
      if (json) {
        json->WriteUnreadable(error.what());
        json->Flush();
      }
      out.flush();
      Report(kProgram, err, error.what());
      status = kExitFailed;
    }
  }
  return status;
}

// Reports failed entries, and draws the progress line on a terminal
// `columns` wide (none: 0). The line is cleared before every message.
class ExtractReporter : public ExtractListener {
 public:
  /// Failed entries go to `failures` when there is one, to `err` otherwise.
  ExtractReporter(const std::string& file, std::ostream& err, int columns,
                  nlohmann::ordered_json* failures = nullptr)
      : err_(err), failures_(failures) {
    if (columns > 0) line_.emplace(err, file, columns);
  }

  // The error names the container and the entry.
  void EntryFailed(const TableEntry& entry, const Error& error) override {
    if (failures_) {
      failures_->push_back(FailedEntryJson(entry, error));
      return;
    }
    if (line_) line_->Clear();
    Report(kProgram, err_, error.what());
  }

  bool Progress(const ExtractProgress& progress) override {
    if (line_) line_->Update(progress, ProgressLine::Clock::now());
    return !InterruptStopsWork::Requested();
  }

  bool WantsTotals() const override { return line_.has_value(); }

  /// Clears the progress line for good, before the summary.
  void Finish() { line_.reset(); }

 private:
  std::ostream& err_;
  nlohmann::ordered_json* failures_;
  std::optional<ProgressLine> line_;
};

// How many entries of `selection` the options choose, read afresh; as many
// as can be read when the table breaks.
int32_t ChosenCount(const Selection& selection, const ChoiceOptions& options) {
  TableWalk walk(selection);
  EntryChoice choice = MakeChoice(options);
  int32_t count = 0;
  try {
    while (walk.Next()) {
      if (choice.Chooses(walk.entry())) ++count;
    }
  } catch (const Error&) {
  }
  return count;
}

// Tells how far an interrupted extraction of `selection` got.
void ReportInterrupted(const Selection& selection, const Options& options,
                       const ExtractResult& result, std::ostream& err) {
  int32_t left = std::max(0, ChosenCount(selection, options.choice) -
                                 result.written - result.failed);
  Report(kProgram, err,
         "interrupted: " + CountText(result.written, "file", "files") +
             " written, " + CountText(left, "entry", "entries") + " left");
}

bool ExtractOne(const std::string& file, const Options& options, int columns,
                JsonArrayOutput* json, std::ostream& out, std::ostream& err) {
  Selection selection = Chosen(file);
  EntryChoice choice = MakeChoice(options.choice);
  nlohmann::ordered_json failures = nlohmann::ordered_json::array();
  ExtractReporter reporter(file, err, options.quiet ? 0 : columns,
                           json ? &failures : nullptr);
  ExtractResult result =
      Extract(selection, options.directory, reporter, choice);
  reporter.Finish();
  const bool interrupted = InterruptStopsWork::Requested();
  if (json) json->Write(ExtractJson(file, result, failures, interrupted));
  if (interrupted) {
    out.flush();
    ReportInterrupted(selection, options, result, err);
    return false;
  }
  if (result.table_error) Report(kProgram, err, result.table_error->what());
  if (json) {
    return EachChoseAnEntry(kProgram, err, file, choice) &&
           !result.table_error && result.failed == 0;
  }
  // Quiet, a complete extraction says nothing; one that fell short still
  // counts what it did.
  if (options.quiet && !result.table_error && result.failed == 0) {
    return EachChoseAnEntry(kProgram, err, file, choice);
  }
  out << result.folder << ": " << WrittenText(result);
  if (result.failed > 0) {
    out << ", " << CountText(result.failed, "entry", "entries") << " failed";
  }
  out << '\n';
  if (result.table_error) return false;
  out.flush();
  return EachChoseAnEntry(kProgram, err, file, choice) && result.failed == 0;
}

// The chosen entries' bytes to `out`, for a pipe; failures to `err` only.
bool ExtractToOutput(const std::string& file, const Options& options,
                     std::ostream& out, std::ostream& err) {
  Selection selection = Chosen(file);
  EntryChoice choice = MakeChoice(options.choice);
  ExtractReporter reporter(file, err, 0);
  ExtractResult result =
      ExtractToStream(selection, out, "standard output", reporter, choice);
  if (result.table_error) {
    Report(kProgram, err, result.table_error->what());
    return false;
  }
  return EachChoseAnEntry(kProgram, err, file, choice) && result.failed == 0;
}

bool VerifyOne(const std::string& file, const Options& options,
               JsonArrayOutput* json, std::ostream& out, std::ostream& err) {
  Selection selection = Chosen(file);
  EntryChoice choice = MakeChoice(options.choice);
  VerifyReport report(out);
  VerifyJson gathered;
  VerifyListener& listener = json ? static_cast<VerifyListener&>(gathered)
                                  : static_cast<VerifyListener&>(report);
  VerifyResult result = Verify(selection, options.directory, listener, choice);
  if (result.table_error) {
    out.flush();
    Report(kProgram, err, result.table_error->what());
  }
  if (json) {
    json->Write(gathered.Result(file, result));
  } else {
    out << VerifyReport::Summary(result) << '\n';
  }
  if (result.table_error) return false;
  out.flush();
  return EachChoseAnEntry(kProgram, err, file, choice) && result.problems == 0;
}

// The folder that -C names must be one, before any file is extracted or
// checked; `what` is what can't be done with it otherwise.
void CheckOutputFolder(const std::string& directory, std::string_view what) {
  std::error_code error;
  std::filesystem::file_status status =
      std::filesystem::status(PathFromUtf8(directory), error);
  if (error) throw SystemFileError(what, directory, error);
  if (!std::filesystem::is_directory(status)) {
    throw FileError(what, directory, "it is not a folder");
  }
}

// Whether the folder that -C names, if any, is one; reports it otherwise.
bool DirectoryIsAFolder(const Options& options, std::string_view what,
                        std::ostream& err) {
  if (options.directory.empty()) return true;
  try {
    CheckOutputFolder(options.directory, what);
    return true;
  } catch (const std::exception& error) {
    Report(kProgram, err, error.what());
    return false;
  }
}

// Runs `each` on every file, going on after a failure, which `json` (if
// any) also gets. What a file printed is flushed before the next one's
// messages, so that the two streams stay in order on a terminal.
template <typename Each>
int ForEachFile(const Options& options, JsonArrayOutput* json,
                std::ostream& out, std::ostream& err, Each each) {
  int status = kExitOk;
  for (const std::string& file : options.files) {
    try {
      if (!each(file)) status = kExitFailed;
    } catch (const std::exception& error) {
      if (json) json->Write(FailedFileJson(file, error.what()));
      out.flush();
      Report(kProgram, err, error.what());
      status = kExitFailed;
    }
    out.flush();
  }
  return status;
}

// Opens the array that --json asks for in `json`, on `out`; the array, or
// none without --json.
JsonArrayOutput* OpenJson(const Options& options, std::ostream& out,
                          std::optional<JsonArrayOutput>& json) {
  if (!options.json) return nullptr;
  return &json.emplace(out);
}

int VerifyCommand(const Options& options, std::ostream& out,
                  std::ostream& err) {
  std::optional<JsonArrayOutput> json;
  JsonArrayOutput* array = OpenJson(options, out, json);
  if (!DirectoryIsAFolder(options, "cannot look into", err)) return kExitFailed;
  return ForEachFile(options, array, out, err, [&](const std::string& file) {
    return VerifyOne(file, options, array, out, err);
  });
}

int ExtractCommand(const Options& options, const StandardStreams& streams,
                   std::ostream& out, std::ostream& err) {
  if (options.to_stdout) {
    if (streams.out_is_terminal) {
      Report(kProgram, err,
             "entry bytes are not written to a terminal: send standard "
             "output to a file or a pipe");
      return kExitFailed;
    }
    if (streams.make_out_binary != nullptr) streams.make_out_binary();
    return ForEachFile(options, nullptr, out, err,
                       [&](const std::string& file) {
                         return ExtractToOutput(file, options, out, err);
                       });
  }
  std::optional<JsonArrayOutput> json;
  JsonArrayOutput* array = OpenJson(options, out, json);
  if (!DirectoryIsAFolder(options, "cannot write into", err))
    return kExitFailed;
  // Ctrl-C stops the extraction between two entries, which says how far
  // it got; the files after it are left alone.
  InterruptStopsWork stops;
  int status =
      ForEachFile(options, array, out, err, [&](const std::string& file) {
        if (InterruptStopsWork::Requested()) return false;
        return ExtractOne(file, options, streams.progress_columns, array, out,
                          err);
      });
  return InterruptStopsWork::Requested() ? kExitInterrupted : status;
}

// The FILE that isn't there, if any: a slip in the command line, told
// before any work; most often a pattern that was meant for --include and
// that the shell passed on as it was.
std::optional<std::string> MissingFileProblem(
    const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    std::error_code error;
    std::filesystem::file_status status =
        std::filesystem::symlink_status(PathFromUtf8(file), error);
    if (status.type() != std::filesystem::file_type::not_found) continue;
    std::string problem = "cannot open '" + file + "': there is no such file";
    if (file.find_first_of("*?[") != std::string::npos) {
      problem += "; to choose entries, use --include '" + file + "'";
    }
    return problem;
  }
  return std::nullopt;
}

// The usage problem of a command that chooses entries, before any work: a
// FILE that isn't there, or a choice that can't be read.
std::optional<std::string> ChoosingCommandProblem(const Options& options) {
  if (std::optional<std::string> missing = MissingFileProblem(options.files)) {
    return missing;
  }
  try {
    MakeChoice(options.choice);
  } catch (const Error& error) {
    return error.what();
  }
  return std::nullopt;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, const StandardStreams& streams) {
  std::unique_ptr<CLI::App> app_owner =
      MakeApp(kProgram, kDescription, kFooter);
  CLI::App& app = *app_owner;
  app.require_subcommand(1);
  Options options;
  CLI::App* inspect = app.add_subcommand(
      "inspect",
      "check each FILE's magic and show where its VFS table starts and how "
      "many files it holds");
  inspect->add_option("FILE", options.files, "stream containers")->required();
  inspect->add_flag("--json", options.json,
                    "print a JSON array: each FILE's numbers");
  CLI::App* rip = app.add_subcommand(
      "rip",
      "write RIP_<name>.bat beside each FILE; run the script from that "
      "folder to cut the files out with quarnel");
  rip->add_option("FILE", options.files, "stream containers")->required();
  CLI::App* list = app.add_subcommand(
      "list",
      "print each FILE's chosen entries: index, name, record offset, header "
      "offset and size, body offset and size, tab-separated; after the "
      "FILE's name when there are several");
  list->add_option("FILE", options.files, "stream containers")->required();
  list->add_flag("--json", options.json,
                 "print a JSON array of entries, with their problems");
  AddChoiceOptions(*list, options.choice);
  CLI::App* extract = app.add_subcommand(
      "extract",
      "write every chosen entry of each FILE to EXT_<name>/<entry>.qvstr, as "
      "its rip script would");
  extract->add_option("FILE", options.files, "stream containers")->required();
  CLI::Option* directory =
      extract
          ->add_option("-C,--directory", options.directory,
                       "write into DIR instead of each FILE's folder")
          ->type_name("DIR");
  CLI::Option* to_stdout =
      extract
          ->add_flag(
              "-O,--to-stdout", options.to_stdout,
              "write the chosen entries' .qvstr bytes to standard output, "
              "one after another in table order, never to a terminal; "
              "no folder is made")
          ->excludes(directory);
  extract
      ->add_flag("--json", options.json,
                 "print a JSON array instead of the summaries: each FILE's "
                 "counts and failed entries")
      ->excludes(to_stdout);
  extract->add_flag("-q,--quiet", options.quiet,
                    "print nothing but errors and warnings: no progress line, "
                    "and no summary when every entry was written");
  AddChoiceOptions(*extract, options.choice);
  CLI::App* verify = app.add_subcommand(
      "verify",
      "check that EXT_<name> beside each FILE (or in DIR) holds what extract "
      "would leave there: report every file missing or different, and every "
      ".qvstr file that no entry leaves");
  verify->add_option("FILE", options.files, "stream containers")->required();
  verify
      ->add_option("-C,--directory", options.directory,
                   "check EXT_<name> in DIR instead of in each FILE's folder")
      ->type_name("DIR");
  verify->add_flag("--json", options.json,
                   "print a JSON array instead of the report: each FILE's "
                   "findings and counts");
  AddChoiceOptions(*verify, options.choice);
  ReplaceOptions replace_options;
  CLI::App* replace = app.add_subcommand(
      "replace",
      "put entries back: each ENTRY (an index, or a name as list prints it) "
      "takes its record, header and body from its FILE.qvstr; changed "
      "pieces are appended, the container replaced atomically");
  replace
      ->add_option("CONTAINER", replace_options.container, "a stream container")
      ->required();
  replace
      ->add_option("ENTRY FILE.qvstr", replace_options.pairs,
                   "an entry and the .qvstr file that replaces it, repeated")
      ->required();
  replace
      ->add_option("-o,--output", replace_options.output,
                   "write the result to OUTPUT; the container stays as it is")
      ->type_name("OUTPUT");
  replace->add_flag("-b,--backup", replace_options.backup, kBackupHelp);
  UpdateOptions update_options;
  CLI::App* update = app.add_subcommand(
      "update",
      "take back an edited EXT_<name> tree: every file that differs from "
      "what extract would write replaces the entry that wins its path");
  update
      ->add_option("CONTAINER", update_options.container, "a stream container")
      ->required();
  update
      ->add_option("-C,--directory", update_options.directory,
                   "read EXT_<name> in DIR instead of beside CONTAINER")
      ->type_name("DIR");
  update->add_flag("--dry-run", update_options.dry_run,
                   "print what would be replaced, and write nothing");
  update->add_flag("--json", update_options.json,
                   "print a JSON object instead of the report: what was "
                   "replaced and what was left alone");
  update->add_flag("-b,--backup", update_options.backup, kBackupHelp);
  if (std::optional<int> settled = Parse(kProgram, app, args, out, err)) {
    return *settled;
  }
  // Wildcards are expanded in FILE and CONTAINER arguments only: never in
  // patterns, entries, .qvstr files or folders.
  options.files = ExpandFileArguments(options.files);
  if (replace->parsed() || update->parsed()) {
    CLI::App* command = replace->parsed() ? replace : update;
    std::string& container = replace->parsed() ? replace_options.container
                                               : update_options.container;
    try {
      container = ExpandOneFileArgument(container, "CONTAINER");
    } catch (const Error& error) {
      return UsageError(kProgram, err, error.what(), command->get_name());
    }
    try {
      if (replace->parsed()) {
        return ReplaceCommand(kProgram, Chosen(replace_options.container),
                              replace_options, out, err);
      }
      return UpdateCommand(kProgram, Chosen(update_options.container),
                           update_options, out, err);
    } catch (const std::exception& error) {
      if (update->parsed() && update_options.json) {
        out << FailedFileJson(update_options.container, error.what()).dump()
            << '\n';
      }
      Report(kProgram, err, error.what());
      return kExitFailed;
    }
  }
  if (inspect->parsed()) {
    const bool headed = options.files.size() > 1;
    bool first = true;
    std::optional<JsonArrayOutput> json;
    JsonArrayOutput* array = OpenJson(options, out, json);
    return ForEachFile(options, array, out, err, [&](const std::string& file) {
      return InspectOne(file, headed, first, array, out);
    });
  }
  for (CLI::App* command : {list, extract, verify}) {
    if (!command->parsed()) continue;
    if (std::optional<std::string> problem = ChoosingCommandProblem(options)) {
      return UsageError(kProgram, err, *problem, command->get_name());
    }
  }
  if (list->parsed()) return ListCommand(options, out, err);
  if (rip->parsed()) {
    return ForEachFile(options, nullptr, out, err,
                       [&](const std::string& file) {
                         RipOne(file, out, err);
                         return true;
                       });
  }
  if (verify->parsed()) return VerifyCommand(options, out, err);
  return ExtractCommand(options, streams, out, err);
}

}  // namespace brimwald
