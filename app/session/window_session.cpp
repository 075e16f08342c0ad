#include "app/session/window_session.h"

#include <filesystem>
#include <system_error>

#include "container/inspection.h"
#include "io/folder_listing.h"
#include "io/utf8_path.h"
#include "rip/rip_script.h"

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
  });
}

StartOutcome WindowSession::StartExtract() {
  return RunAction<StartOutcome>([&](StartOutcome& outcome) {
    if (extracting_) {
      throw Error(ErrorKind::kFile, "cannot extract: the extraction of '" +
                                        *extracting_ + "' is still running");
    }
    outcome.job = std::make_unique<ExtractJob>(selection_);
    outcome.progress_text = "Extracting " + selection_.FileName + "...";
    extracting_ = selection_.FileName;
  });
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
