#include "app/qt/job_worker.h"

#include <utility>

namespace brimwald {

JobWorker::JobWorker(std::unique_ptr<ExtractJob> job, QObject* parent)
    : QThread(parent) {
  std::shared_ptr<ExtractJob> shared = std::move(job);
  run_ = [shared](const Progress& progress) {
    ExtractOutcome outcome = shared->Run(progress);
    JobEnd end;
    end.error = outcome.error;
    if (!outcome.failed()) end.report = outcome.Report();
    return end;
  };
  cancel_ = [shared] { shared->Cancel(); };
}

JobWorker::JobWorker(std::unique_ptr<WriteBackJob> job, QObject* parent)
    : QThread(parent) {
  std::shared_ptr<WriteBackJob> shared = std::move(job);
  run_ = [shared](const Progress& progress) {
    WriteBackOutcome outcome = shared->Run(progress);
    JobEnd end;
    end.error = outcome.error;
    end.report = outcome.report;
    return end;
  };
  cancel_ = [shared] { shared->Cancel(); };
}

JobWorker::~JobWorker() {
  Cancel();
  wait();
}

void JobWorker::run() {
  outcome_ = run_([this](int permille) { emit Progressed(permille); });
}

}  // namespace brimwald
