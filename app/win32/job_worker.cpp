#include "app/win32/job_worker.h"

#include <utility>

namespace brimwald::win32 {

JobWorker::JobWorker(WindowJob job, HWND window) : job_(std::move(job)) {
  // Posted, never sent: the worker never waits for the window's thread,
  // which may be waiting for it.
  thread_ = std::thread([this, window] {
    outcome_ = job_.Run([window](int permille) {
      ::PostMessageW(window, kProgressMessage, static_cast<WPARAM>(permille),
                     0);
    });
    ::PostMessageW(window, kDoneMessage, 0, 0);
  });
}

JobWorker::~JobWorker() {
  Cancel();
  if (thread_.joinable()) thread_.join();
}

JobEnd JobWorker::Finish() {
  if (thread_.joinable()) thread_.join();
  return std::move(outcome_);
}

}  // namespace brimwald::win32
