#include "app/qt/job_worker.h"

#include <utility>

namespace brimwald {

JobWorker::JobWorker(WindowJob job, QObject* parent)
    : QThread(parent), job_(std::move(job)) {}

JobWorker::~JobWorker() {
  Cancel();
  wait();
}

void JobWorker::run() {
  outcome_ = job_.Run([this](int permille) { emit Progressed(permille); });
}

}  // namespace brimwald
