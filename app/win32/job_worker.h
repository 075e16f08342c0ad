// One job of the window (an extraction, or putting streams back) on a
// thread of its own, for the Win32 window: the window's thread stays free
// to repaint, move the window and answer Cancel, and learns how far the job
// is from the messages the worker posts it.

#ifndef BRIMWALD_APP_WIN32_JOB_WORKER_H_
#define BRIMWALD_APP_WIN32_JOB_WORKER_H_

#include <windows.h>

#include <thread>

#include "app/session/window_job.h"

namespace brimwald::win32 {

class JobWorker {
 public:
  /// Posted to the window whenever the thousandths done change (WPARAM).
  static constexpr UINT kProgressMessage = WM_APP + 1;
  /// Posted to the window once the job has ended; Finish() then gives its
  /// end.
  static constexpr UINT kDoneMessage = WM_APP + 2;

  /// Starts `job` on a thread of its own, posting to `window`.
  JobWorker(WindowJob job, HWND window);
  /// Stops a running job and waits for it: the thread never outlives its
  /// window.
  ~JobWorker();
  JobWorker(const JobWorker&) = delete;
  JobWorker& operator=(const JobWorker&) = delete;

  /// Stops the job where it can stop.
  void Cancel() { job_.Cancel(); }

  /// Waits for the thread, which kDoneMessage says has ended or is about
  /// to, and gives the job's end.
  JobEnd Finish();

 private:
  WindowJob job_;
  JobEnd outcome_;
  std::thread thread_;
};

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_JOB_WORKER_H_
