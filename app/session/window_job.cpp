#include "app/session/window_job.h"

#include <utility>

namespace brimwald {

WindowJob::WindowJob(std::unique_ptr<ExtractJob> job)
    : extract_(std::move(job)) {}

WindowJob::WindowJob(std::unique_ptr<WriteBackJob> job)
    : write_back_(std::move(job)) {}

JobEnd WindowJob::Run(const Progress& progress) {
  JobEnd end;
  if (extract_) {
    ExtractOutcome outcome = extract_->Run(progress);
    end.error = outcome.error;
    if (!outcome.failed()) end.report = outcome.Report();
  } else {
    WriteBackOutcome outcome = write_back_->Run(progress);
    end.error = outcome.error;
    end.report = outcome.report;
  }
  return end;
}

void WindowJob::Cancel() {
  if (extract_) extract_->Cancel();
  if (write_back_) write_back_->Cancel();
}

}  // namespace brimwald
