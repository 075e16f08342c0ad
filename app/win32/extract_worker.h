// One extraction on a thread of its own, for the Win32 window: the window's
// thread stays free to repaint, move the window and answer Cancel, and
// learns how far the extraction is from the messages the worker posts it.

#ifndef BRIMWALD_APP_WIN32_EXTRACT_WORKER_H_
#define BRIMWALD_APP_WIN32_EXTRACT_WORKER_H_

#include <windows.h>

#include <memory>
#include <thread>

#include "app/session/extract_job.h"

namespace brimwald::win32 {

class ExtractWorker {
 public:
  /// Posted to the window whenever the thousandths done change (WPARAM).
  static constexpr UINT kProgressMessage = WM_APP + 1;
  /// Posted to the window once the extraction has ended; Finish() then
  /// gives its outcome.
  static constexpr UINT kDoneMessage = WM_APP + 2;

  /// Starts `job` on a thread of its own, posting to `window`.
  ExtractWorker(std::unique_ptr<ExtractJob> job, HWND window);
  /// Stops a running extraction and waits for it: the thread never
  /// outlives its window.
  ~ExtractWorker();
  ExtractWorker(const ExtractWorker&) = delete;
  ExtractWorker& operator=(const ExtractWorker&) = delete;

  /// Stops the extraction after the entry it is writing.
  void Cancel() { job_->Cancel(); }

  /// Waits for the thread, which kDoneMessage says has ended or is about
  /// to, and gives the extraction's outcome.
  ExtractOutcome Finish();

 private:
  std::unique_ptr<ExtractJob> job_;
  ExtractOutcome outcome_;
  std::thread thread_;
};

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_EXTRACT_WORKER_H_
