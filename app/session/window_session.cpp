#include "app/session/window_session.h"

#include <exception>

#include "container/inspection.h"
#include "io/folder_listing.h"
#include "rip/rip_script.h"

namespace brimwald {
namespace {

// The top of every window action: its error becomes the outcome's.
template <typename Outcome, typename Action>
Outcome Run(Action action) {
  Outcome outcome;
  try {
    action(outcome);
  } catch (const std::exception& error) {
    outcome.error = error.what();
    if (outcome.error.empty()) outcome.error = "unknown error";
  }
  return outcome;
}

class Collector : public ExtractListener {
 public:
  Collector(ExtractOutcome& outcome,
            const std::function<bool(const ExtractProgress&)>& progress)
      : outcome_(outcome), progress_(progress) {}

  void EntryFailed(const TableEntry& entry, const Error& error) override {
    if (outcome_.failures.size() >= WindowSession::kReportedFailures) return;
    outcome_.failures.push_back("entry " + std::to_string(entry.Index) + " '" +
                                entry.Name + "': " + error.what());
  }
  bool Progress(const ExtractProgress& progress) override {
    return !progress_ || progress_(progress);
  }
  bool WantsTotals() const override { return static_cast<bool>(progress_); }

 private:
  ExtractOutcome& outcome_;
  const std::function<bool(const ExtractProgress&)>& progress_;
};

}  // namespace

std::string ExtractOutcome::Report() const {
  if (failed()) return error;
  std::string text = (result.stopped ? "Stopped. " : "") +
                     std::to_string(result.written) + " files written to " +
                     result.folder + ".";
  if (result.failed > 0) {
    text += "\n" + std::to_string(result.failed) + " entries failed:";
    for (const std::string& failure : failures) text += "\n" + failure;
    if (static_cast<size_t>(result.failed) > failures.size()) text += "\n...";
  }
  return text;
}

WindowSession::WindowSession(std::string directory)
    : directory_(std::move(directory)) {}

ListOutcome WindowSession::ListContainers() const {
  return Run<ListOutcome>([&](ListOutcome& outcome) {
    outcome.names = ListFilesEndingIn(directory_, ".str");
  });
}

ChooseOutcome WindowSession::Choose(const std::string& name) {
  return Run<ChooseOutcome>([&](ChooseOutcome& outcome) {
    outcome.label = Inspect(name, selection_, directory_);
  });
}

RipOutcome WindowSession::Rip() {
  return Run<RipOutcome>([&](RipOutcome& outcome) {
    brimwald::Rip(
        selection_,
        [&](const TableEntry& entry) { outcome.last_name = entry.Name; },
        [&] { outcome.beep = true; });
  });
}

ExtractOutcome WindowSession::Extract(
    const std::function<bool(const ExtractProgress&)>& progress) {
  return Run<ExtractOutcome>([&](ExtractOutcome& outcome) {
    Collector collector(outcome, progress);
    outcome.result = brimwald::Extract(selection_, "", collector);
  });
}

}  // namespace brimwald
