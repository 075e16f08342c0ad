// Putting streams back as the window hands it to a worker thread: the
// update of a container from its EXT_ folder, or the replacement of one of
// its entries by a .qvstr file. Like an extraction, the job holds its own
// copy of the choice, so that the window goes on while the worker runs,
// and a flag that the window's thread sets to stop it: Cancel() before the
// new container takes the old one's name writes nothing; after, it comes
// too late and the job ends as it would have.

#ifndef BRIMWALD_APP_SESSION_WRITE_BACK_JOB_H_
#define BRIMWALD_APP_SESSION_WRITE_BACK_JOB_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "app/session/action_outcome.h"
#include "app/session/extract_report.h"
#include "container/selection.h"

namespace brimwald {

struct WriteBackOutcome : ActionOutcome {
  /// Whether the container was written.
  bool written = false;
  /// What the window shows at the end, when the outcome has no error: the
  /// summary, the container's path, and every line the command line would
  /// print, "\n" between them; a warning unless everything found was
  /// taken back.
  ExtractReport report;
};

class WriteBackJob {
 public:
  /// The update of the container of `selection` from EXT_<BaseName>
  /// beside it; with `backup`, the old container is kept as its name
  /// followed by "~".
  WriteBackJob(Selection selection, bool backup);
  /// The replacement of entry `index` of that container by the .qvstr
  /// file at `qvstr_path`.
  WriteBackJob(Selection selection, int32_t index, std::string qvstr_path,
               bool backup);
  WriteBackJob(const WriteBackJob&) = delete;
  WriteBackJob& operator=(const WriteBackJob&) = delete;

  /// Tells how far the job is: the thousandths done.
  using Progress = std::function<void(int permille)>;

  /// Writes on the calling thread and returns once done or stopped; an
  /// error that ends it comes back in the outcome.
  WriteBackOutcome Run(const Progress& progress);

  /// Stops Run() before the container is replaced, if it isn't yet;
  /// callable from any thread.
  void Cancel() { cancelled_ = true; }
  bool cancelled() const { return cancelled_; }

  const Selection& selection() const { return selection_; }

 private:
  void RunUpdate(WriteBackOutcome& outcome, const Progress& progress);
  void RunReplace(WriteBackOutcome& outcome, const Progress& progress);

  const Selection selection_;
  const bool backup_;
  // The entry to replace and its file; -1 for an update.
  const int32_t index_ = -1;
  const std::string qvstr_path_;
  std::atomic<bool> cancelled_ = false;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_WRITE_BACK_JOB_H_
