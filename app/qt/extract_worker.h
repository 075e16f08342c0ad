// One extraction on a thread of its own, for the Qt window: the window's
// thread stays free to repaint, move the window and answer Cancel, and
// learns how far the extraction is from signals, which reach it queued.

#ifndef BRIMWALD_APP_QT_EXTRACT_WORKER_H_
#define BRIMWALD_APP_QT_EXTRACT_WORKER_H_

#include <QThread>
#include <memory>

#include "app/session/extract_job.h"

namespace brimwald {

class ExtractWorker : public QThread {
  Q_OBJECT

 public:
  /// A worker for `job`; start() runs it. The job's outcome is there once
  /// finished() has come.
  explicit ExtractWorker(std::unique_ptr<ExtractJob> job,
                         QObject* parent = nullptr);
  /// Stops a running extraction and waits for it: the thread never
  /// outlives its window.
  ~ExtractWorker() override;

  /// Stops the extraction after the entry it is writing.
  void Cancel() { job_->Cancel(); }

  /// The outcome; read it after finished().
  const ExtractOutcome& outcome() const { return outcome_; }

 signals:
  /// The thousandths done, whenever they change.
  void Progressed(int permille);

 protected:
  void run() override;

 private:
  std::unique_ptr<ExtractJob> job_;
  ExtractOutcome outcome_;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_QT_EXTRACT_WORKER_H_
