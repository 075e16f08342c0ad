#include "app/session/window_session.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "container/inspection.h"
#include "io/folder_listing.h"
#include "io/utf8_path.h"
#include "rip/rip_script.h"
#include "text/text_format.h"

namespace brimwald {

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
  if (extracting_) {
    throw Error(ErrorKind::kFile, "cannot extract: the extraction of '" +
                                      *extracting_ + "' is still running");
  }
  const std::string busy_with = ContainersText(parts);
  outcome.job = std::make_unique<ExtractJob>(std::move(parts));
  outcome.progress_text = "Extracting " + what + "...";
  extracting_ = busy_with;
}

EntriesModel& WindowSession::LoadedEntries() {
  if (!entries_) throw Error(ErrorKind::kUsage, "no entries are loaded");
  return *entries_;
}

void WindowSession::FinishExtract() { extracting_.reset(); }

std::string WindowSession::CloseQuestion() const {
  return "The extraction of " + extracting_.value_or("") +
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
