#include "app/qt/extract_worker.h"

#include <utility>

namespace brimwald {

ExtractWorker::ExtractWorker(std::unique_ptr<ExtractJob> job, QObject* parent)
    : QThread(parent), job_(std::move(job)) {}

ExtractWorker::~ExtractWorker() {
  Cancel();
  wait();
}

void ExtractWorker::run() {
  outcome_ = job_->Run([this](int permille) { emit Progressed(permille); });
}

}  // namespace brimwald
