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
    Start(outcome, selection_, EntryChoice(),
          "Extracting " + selection_.FileName + "...");
  });
}

EntriesOutcome WindowSession::OpenEntries() {
  return RunAction<EntriesOutcome>([&](EntriesOutcome& outcome) {
    entries_.reset();
    entries_ = std::make_unique<EntriesModel>(selection_);
    outcome.title = "Entries of " + selection_.FileName;
  });
}

StartOutcome WindowSession::StartExtractEntries(
    const std::vector<int32_t>& rows) {
  return RunAction<StartOutcome>([&](StartOutcome& outcome) {
    EntriesModel& entries = LoadedEntries();
    const Selection& selection = entries.selection();
    // A view's selection ranges may overlap.
    std::vector<int32_t> distinct = rows;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()),
                   distinct.end());
    Start(outcome, selection, entries.ChoiceOf(distinct),
          "Extracting " +
              CountText(static_cast<int64_t>(distinct.size()), "entry",
                        "entries") +
              " of " + selection.FileName + "...");
  });
}

StartOutcome WindowSession::StartExtractAllEntries() {
  return RunAction<StartOutcome>([&](StartOutcome& outcome) {
    const Selection& selection = LoadedEntries().selection();
    Start(outcome, selection, EntryChoice(),
          "Extracting " + selection.FileName + "...");
  });
}

void WindowSession::Start(StartOutcome& outcome, const Selection& selection,
                          EntryChoice choice, std::string progress_text) {
  if (extracting_) {
    throw Error(ErrorKind::kFile, "cannot extract: the extraction of '" +
                                      *extracting_ + "' is still running");
  }
  outcome.job = std::make_unique<ExtractJob>(selection, std::move(choice));
  outcome.progress_text = std::move(progress_text);
  extracting_ = selection.FileName;
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
