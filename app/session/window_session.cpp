#include "app/session/window_session.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "container/inspection.h"
#include "extract/extract.h"
#include "io/atomic_file.h"
#include "io/folder_listing.h"
#include "io/utf8_path.h"
#include "names/windows_path.h"
#include "replace/replace.h"
#include "replace/update.h"
#include "replace/update_report.h"
#include "rip/rip_script.h"
#include "table/table_walk.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

std::string BackupLabel(const Selection& selection) {
  return "Keep a backup (" + BackupName(selection.FileName) + ")";
}

bool EndsWithIgnoringCase(const std::string& text, std::string_view end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    char c = text[text.size() - end.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != end[i]) return false;
  }
  return true;
}

}  // namespace

namespace {

// "music.str", or "3 containers".
std::string ContainersText(const std::vector<ExtractPart>& parts) {
  if (parts.size() == 1) return parts.front().selection.FileName;
  return CountText(static_cast<int64_t>(parts.size()), "container",
                   "containers");
}

}  // namespace

WindowSession::WindowSession(std::string directory)
    : directory_(std::move(directory)) {}

ListOutcome WindowSession::ListContainers() const {
  return RunAction<ListOutcome>([&](ListOutcome& outcome) {
    outcome.names = ListFilesEndingIn(directory_, ".str");
  });
}

ChooseOutcome WindowSession::Choose(const std::string& name) {
  return RunAction<ChooseOutcome>([&](ChooseOutcome& outcome) {
    outcome.label = Inspect(name, selection_, directory_);
  });
}

RipOutcome WindowSession::Rip() {
  return RunAction<RipOutcome>([&](RipOutcome& outcome) {
    brimwald::Rip(
        selection_,
        [&](const TableEntry& entry) { outcome.last_name = entry.Name; },
        [&] { outcome.beep = true; });
    // The script lies beside the container, in the folder the list shows.
    if (outcome.beep) outcome.status = "Wrote " + ScriptName(selection_);
  });
}

StartOutcome WindowSession::StartExtract() {
  return RunAction<StartOutcome>([&](StartOutcome& outcome) {
    Start(outcome, {{selection_, EntryChoice()}}, selection_.FileName);
  });
}

EntriesOutcome WindowSession::OpenEntries() {
  return RunAction<EntriesOutcome>([&](EntriesOutcome& outcome) {
    entries_.reset();
    entries_ = std::make_unique<EntriesModel>(selection_);
    outcome.title = "Entries of " + selection_.FileName;
  });
}

EntriesOutcome WindowSession::OpenAllEntries() {
  return RunAction<EntriesOutcome>([&](EntriesOutcome& outcome) {
    entries_.reset();
    entries_ = std::make_unique<EntriesModel>(
        directory_, ListFilesEndingIn(directory_, ".str"));
    outcome.title = "Entries of all containers";
  });
}

StartOutcome WindowSession::StartExtractEntries(
    const std::vector<int32_t>& rows) {
  return RunAction<StartOutcome>([&](StartOutcome& outcome) {
    EntriesModel& entries = LoadedEntries();
    // A view's selection ranges may overlap.
    std::vector<int32_t> distinct = rows;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()),
                   distinct.end());
    std::vector<ExtractPart> parts;
    for (EntriesModel::ContainerChoice& taken : entries.ChoicesOf(distinct)) {
      parts.push_back(
          {entries.containers()[static_cast<size_t>(taken.container)],
           std::move(taken.choice)});
    }
    const std::string what = ContainersText(parts);
    Start(outcome, std::move(parts),
          CountText(static_cast<int64_t>(distinct.size()), "entry", "entries") +
              " of " + what);
  });
}

StartOutcome WindowSession::StartExtractAllEntries() {
  return RunAction<StartOutcome>([&](StartOutcome& outcome) {
    std::vector<ExtractPart> parts;
    for (const Selection& selection : LoadedEntries().containers()) {
      parts.push_back({selection, EntryChoice()});
    }
    if (parts.empty()) {
      throw Error(ErrorKind::kUsage, "no container of the folder loaded");
    }
    const std::string what = ContainersText(parts);
    Start(outcome, std::move(parts), what);
  });
}

void WindowSession::Start(StartOutcome& outcome, std::vector<ExtractPart> parts,
                          const std::string& what) {
  Begin("extract", "extraction", ContainersText(parts));
  outcome.job = std::make_unique<ExtractJob>(std::move(parts));
  outcome.progress_text = "Extracting " + what + "...";
}

void WindowSession::Begin(const std::string& verb, std::string noun,
                          std::string name, bool writes) {
  if (running_) {
    throw Error(ErrorKind::kFile, "cannot " + verb + ": the " + running_->noun +
                                      " of '" + running_->name +
                                      "' is still running");
  }
  running_ = Running{std::move(noun), std::move(name), writes};
}

WriteBackPlan WindowSession::PlanUpdate() const {
  return RunAction<WriteBackPlan>([&](WriteBackPlan& plan) {
    UpdateResult result = Update(selection_, {.dry_run = true});
    UpdateReport report = UpdateReportOf(result, true);
    plan.title = "Update " + selection_.FileName;
    plan.details = report.Details();
    plan.backup_label = BackupLabel(selection_);
    if (!result.refusals.empty()) {
      plan.text = report.summary;
    } else if (result.replaced.empty()) {
      plan.text = "Nothing to take back: no file of " + result.folder +
                  " differs from its entry, so nothing is written.";
    } else {
      plan.can_confirm = true;
      plan.text = "Replace " +
                  CountText(static_cast<int64_t>(result.replaced.size()),
                            "entry", "entries") +
                  " of " + selection_.FileName + " with the files of " +
                  result.folder + "?";
      if (!report.findings.empty()) {
        plan.text +=
            " The update will not be complete: what is listed "
            "after the entries stays as it is.";
      }
    }
  });
}

WriteBackStartOutcome WindowSession::StartUpdate(bool backup) {
  return RunAction<WriteBackStartOutcome>([&](WriteBackStartOutcome& outcome) {
    Begin("update", "update", selection_.FileName, true);
    outcome.job = std::make_unique<WriteBackJob>(selection_, backup);
    outcome.progress_text = "Updating " + selection_.FileName + "...";
  });
}

std::string WindowSession::ReplaceFolder(int32_t row) const {
  const EntriesModel& entries = LoadedEntries(row);
  const int32_t number = entries.IndexAt(row);
  const Selection& selection = entries.ContainerOf(number);
  const std::string container =
      selection.Directory.empty() ? "." : selection.Directory;
  std::filesystem::path folder =
      PathFromUtf8(PathInDirectory(selection, ExtractFolderName(selection)));
  std::string decoded;
  std::vector<std::string_view> parts;
  SplitEntryPath(entries.NameOf(number), decoded, parts);
  std::filesystem::path own = folder;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    own /= PathFromUtf8(std::string(parts[i]));
  }
  for (const std::filesystem::path& each : {own, folder}) {
    std::error_code error;
    if (std::filesystem::is_directory(each, error)) return Utf8FromPath(each);
  }
  return container;
}

WriteBackPlan WindowSession::PlanReplace(int32_t row,
                                         const std::string& qvstr_path) const {
  return RunAction<WriteBackPlan>([&](WriteBackPlan& plan) {
    const EntriesModel& entries = LoadedEntries(row);
    const int32_t number = entries.IndexAt(row);
    const Selection& selection = entries.ContainerOf(number);
    std::optional<TableWalk> walk(std::in_place, selection);
    ReplaceSettings settings;
    settings.dry_run = true;
    ReplaceResult result =
        Replace(walk, {{entries.EntryIndexOf(number), qvstr_path}}, settings);
    const ReplacedEntry& entry = result.entries.front();
    if (!entry.refusal.empty()) throw Error(ErrorKind::kFile, entry.refusal);
    plan.title = "Replace an entry of " + selection.FileName;
    plan.text = "Replace entry " + std::to_string(entry.index) + " '" +
                entry.name + "' of " + selection.FileName + " with '" +
                qvstr_path + "'?";
    plan.details = ReplacedLine(entry);
    plan.can_confirm = true;
    plan.backup_label = BackupLabel(selection);
  });
}

WriteBackStartOutcome WindowSession::StartReplace(int32_t row,
                                                  const std::string& qvstr_path,
                                                  bool backup) {
  return RunAction<WriteBackStartOutcome>([&](WriteBackStartOutcome& outcome) {
    const EntriesModel& entries = LoadedEntries(row);
    const int32_t number = entries.IndexAt(row);
    const Selection& selection = entries.ContainerOf(number);
    Begin("replace", "update", selection.FileName, true);
    outcome.job = std::make_unique<WriteBackJob>(
        selection, entries.EntryIndexOf(number), qvstr_path, backup);
    outcome.progress_text = "Updating " + selection.FileName + "...";
  });
}

bool WindowSession::TakesDrop(const std::vector<std::string>& paths) {
  return paths.size() == 1 && EndsWithIgnoringCase(paths.front(), ".str");
}

bool WindowSession::TakesEntryDrop(const std::vector<std::string>& paths) {
  return paths.size() == 1 && EndsWithIgnoringCase(paths.front(), ".qvstr");
}

DropOutcome WindowSession::Drop(const std::string& path) {
  return RunAction<DropOutcome>([&](DropOutcome& outcome) {
    if (!TakesDrop({path})) {
      throw Error(ErrorKind::kUsage, "'" + path + "' is not a .str container");
    }
    std::filesystem::path dropped = PathFromUtf8(path);
    directory_ = Utf8FromPath(dropped.parent_path());
    selection_ = Selection();
    outcome.chosen = Utf8FromPath(dropped.filename());
  });
}

EntriesModel& WindowSession::LoadedEntries() {
  if (!entries_) throw Error(ErrorKind::kUsage, "no entries are loaded");
  return *entries_;
}

const EntriesModel& WindowSession::LoadedEntries(int32_t row) const {
  if (!entries_) throw Error(ErrorKind::kUsage, "no entries are loaded");
  if (row < 0 || row >= entries_->rows()) {
    throw Error(ErrorKind::kUsage, "no row " + std::to_string(row));
  }
  return *entries_;
}

ActionOutcome WindowSession::FinishJob() {
  const bool wrote = running_ && running_->writes;
  running_.reset();
  return RunAction<ActionOutcome>([&](ActionOutcome&) {
    if (!wrote || !entries_) return;
    // New sizes and places; the dialog's filter and order stay, and so
    // does the model the dialog holds.
    *entries_ = entries_->Reloaded();
  });
}

std::string WindowSession::CloseQuestion() const {
  const Running running = running_.value_or(Running{});
  return "The " + running.noun + " of " + running.name +
         " is still running. Stop it and close the window?";
}

std::string WindowSession::FolderText() const {
  std::error_code error;
  std::filesystem::path folder =
      directory_.empty()
          ? std::filesystem::current_path(error)
          : std::filesystem::absolute(PathFromUtf8(directory_), error);
  if (error) return directory_;
  folder = folder.lexically_normal();
  // "/music/" and "/music" are one folder; the root keeps its separator.
  if (!folder.has_filename() && folder.has_relative_path()) {
    folder = folder.parent_path();
  }
  return Utf8FromPath(folder);
}

}  // namespace brimwald
