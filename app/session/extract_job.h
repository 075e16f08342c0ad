// One extraction as the window hands it to a worker thread. The job holds
// its own copy of the choice (the containers, and which of their entries to
// take), so that the window's session goes on (and its choice may change)
// while the worker runs, and a flag that the window's thread sets to stop it
// between two entries. A job of several containers extracts them in turn,
// each into its own EXT_ folder, and gives one outcome.

#ifndef BRIMWALD_APP_SESSION_EXTRACT_JOB_H_
#define BRIMWALD_APP_SESSION_EXTRACT_JOB_H_

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "app/session/action_outcome.h"
#include "app/session/extract_report.h"
#include "container/selection.h"
#include "extract/extract.h"
#include "table/entry_choice.h"

namespace brimwald {

/// The progress bar's range: thousandths of the work.
inline constexpr int kPermille = 1000;

/// The share of the work `progress` has done, 0 to kPermille: by bytes when
/// their total is known, else by entries.
int Permille(const ExtractProgress& progress);

struct ExtractOutcome : ActionOutcome {
  /// The whole extraction: with one container its result, with several
  /// TotalOf(results).
  ExtractResult result;
  /// Each container's result, in the order extracted.
  std::vector<ExtractResult> results;
  /// Every entry that failed, in the order the extraction reported them.
  std::vector<ExtractFailure> failures;
  /// What the window shows at the end, when the outcome has no error.
  ExtractReport Report() const { return ReportOf(results, failures); }
};

/// The entries that `choice` takes (all, by default) of the container that
/// `selection` describes.
struct ExtractPart {
  Selection selection;
  EntryChoice choice;
};

class ExtractJob {
 public:
  /// The extraction of the entries that `choice` takes (all, by default)
  /// of the container that `selection` describes, into EXT_<BaseName>
  /// beside it.
  explicit ExtractJob(Selection selection, EntryChoice choice = EntryChoice());
  /// The extraction of each of `parts` in turn, each into its container's
  /// EXT_ folder. An error that ends one container's extraction (its
  /// container can't be read, its folder can't be made) is that
  /// container's table_error, and the next one goes on. The progress gives
  /// each container an equal share.
  explicit ExtractJob(std::vector<ExtractPart> parts);
  ExtractJob(const ExtractJob&) = delete;
  ExtractJob& operator=(const ExtractJob&) = delete;

  /// Tells how far the extraction is: the thousandths done.
  using Progress = std::function<void(int permille)>;

  /// Extracts on the calling thread and returns once done or stopped; an
  /// error that ends it comes back in the outcome. `progress` is called on
  /// that thread, only when the thousandths done change, so that a window
  /// gets at most kPermille + 1 updates however many entries there are.
  ExtractOutcome Run(const Progress& progress);

  /// Stops Run() after the entry it is writing; callable from any thread.
  /// The files written stay, and no partial file is left.
  void Cancel() { cancelled_ = true; }
  bool cancelled() const { return cancelled_; }

  /// The first container's.
  const Selection& selection() const { return parts_.front().selection; }
  const std::vector<ExtractPart>& parts() const { return parts_; }

 private:
  const std::vector<ExtractPart> parts_;
  std::atomic<bool> cancelled_ = false;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_EXTRACT_JOB_H_
