#include "app/session/extract_job.h"

#include <algorithm>
#include <utility>

namespace brimwald {
namespace {

class JobListener : public ExtractListener {
 public:
  JobListener(ExtractOutcome& outcome, const ExtractJob& job,
              const ExtractJob::Progress& progress)
      : outcome_(outcome), job_(job), progress_(progress) {}

  void EntryFailed(const TableEntry& entry, const Error& error) override {
    outcome_.failures.push_back(FailureOf(entry, error));
  }
  bool Progress(const ExtractProgress& progress) override {
    int permille = Permille(progress);
    if (progress_ && permille != last_permille_) {
      last_permille_ = permille;
      progress_(permille);
    }
    return !job_.cancelled();
  }
  bool WantsTotals() const override { return static_cast<bool>(progress_); }

 private:
  ExtractOutcome& outcome_;
  const ExtractJob& job_;
  const ExtractJob::Progress& progress_;
  int last_permille_ = 0;
};

}  // namespace

int Permille(const ExtractProgress& progress) {
  int64_t done = progress.bytes_done;
  int64_t total = progress.bytes_total;
  if (total <= 0) {
    done = progress.entries_done;
    total = progress.entries_total;
  }
  if (total <= 0) return kPermille;
  // In floating point: bytes times a thousand may leave 64 bits.
  double share = static_cast<double>(std::clamp<int64_t>(done, 0, total)) /
                 static_cast<double>(total);
  return static_cast<int>(share * kPermille);
}

ExtractJob::ExtractJob(Selection selection, EntryChoice choice)
    : selection_(std::move(selection)), choice_(std::move(choice)) {}

ExtractOutcome ExtractJob::Run(const Progress& progress) {
  return RunAction<ExtractOutcome>([&](ExtractOutcome& outcome) {
    JobListener listener(outcome, *this, progress);
    outcome.result = Extract(selection_, "", listener, choice_);
  });
}

}  // namespace brimwald
