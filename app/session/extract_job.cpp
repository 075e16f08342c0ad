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

  /// The next container: the `part`th of `parts`.
  void Begin(int32_t part, int32_t parts) {
    part_ = part;
    parts_ = parts;
  }

  void EntryFailed(const TableEntry& entry, const Error& error) override {
    ExtractFailure failure = FailureOf(entry, error);
    failure.container = part_;
    outcome_.failures.push_back(std::move(failure));
  }
  bool Progress(const ExtractProgress& progress) override {
    const int permille = (part_ * kPermille + Permille(progress)) / parts_;
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
  int32_t part_ = 0;
  int32_t parts_ = 1;
};

// One container's extraction; with `keep_going`, an error that ends it is
// its result's table_error rather than the job's.
ExtractResult RunPart(const ExtractPart& part, JobListener& listener,
                      bool keep_going) {
  try {
    return Extract(part.selection, "", listener, part.choice);
  } catch (const Error& error) {
    if (!keep_going) throw;
    ExtractResult result;
    result.folder =
        PathInDirectory(part.selection, ExtractFolderName(part.selection));
    result.table_error = error;
    return result;
  }
}

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
    : ExtractJob(
          std::vector<ExtractPart>{{std::move(selection), std::move(choice)}}) {
}

ExtractJob::ExtractJob(std::vector<ExtractPart> parts)
    : parts_(std::move(parts)) {}

ExtractOutcome ExtractJob::Run(const Progress& progress) {
  return RunAction<ExtractOutcome>([&](ExtractOutcome& outcome) {
    JobListener listener(outcome, *this, progress);
    const auto count = static_cast<int32_t>(parts_.size());
    // The first container starts even when the job was cancelled already,
    // as one extraction would, and stops after its first entry.
    for (int32_t at = 0; at < count && (at == 0 || !cancelled()); ++at) {
      const ExtractPart& part = parts_[static_cast<size_t>(at)];
      listener.Begin(at, count);
      outcome.results.push_back(RunPart(part, listener, count > 1));
    }
    // Stopped between two containers: the last one extracted was whole.
    if (cancelled() && outcome.results.size() < parts_.size()) {
      outcome.results.back().stopped = true;
    }
    outcome.result =
        count == 1 ? outcome.results.front() : TotalOf(outcome.results);
  });
}

}  // namespace brimwald
