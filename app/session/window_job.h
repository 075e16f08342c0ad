// Either job the window hands to a worker thread (an extraction, or putting
// streams back), as one thing to run and cancel, with one kind of end: so
// that each toolkit has one worker for both.

#ifndef BRIMWALD_APP_SESSION_WINDOW_JOB_H_
#define BRIMWALD_APP_SESSION_WINDOW_JOB_H_

#include <functional>
#include <memory>

#include "app/session/action_outcome.h"
#include "app/session/extract_job.h"
#include "app/session/extract_report.h"
#include "app/session/write_back_job.h"

namespace brimwald {

/// What a job leaves for the window: the error that ended it, or its
/// report.
struct JobEnd : ActionOutcome {
  ExtractReport report;
};

class WindowJob {
 public:
  explicit WindowJob(std::unique_ptr<ExtractJob> job);
  explicit WindowJob(std::unique_ptr<WriteBackJob> job);

  using Progress = std::function<void(int permille)>;

  /// Runs the job on the calling thread, as its own Run() does.
  JobEnd Run(const Progress& progress);
  /// Stops it where it can stop; callable from any thread.
  void Cancel();

 private:
  std::unique_ptr<ExtractJob> extract_;
  std::unique_ptr<WriteBackJob> write_back_;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_WINDOW_JOB_H_
