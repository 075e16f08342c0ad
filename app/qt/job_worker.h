// One job of the window (an extraction, or putting streams back) on a
// thread of its own, for the Qt window: the window's thread stays free to
// repaint, move the window and answer Cancel, and learns how far the job
// is from signals, which reach it queued.

#ifndef BRIMWALD_APP_QT_JOB_WORKER_H_
#define BRIMWALD_APP_QT_JOB_WORKER_H_

#include <QThread>

#include "app/session/window_job.h"

namespace brimwald {

class JobWorker : public QThread {
  Q_OBJECT

 public:
  /// A worker for `job`; start() runs it. The job's end is there once
  /// finished() has come.
  explicit JobWorker(WindowJob job, QObject* parent = nullptr);
  /// Stops a running job and waits for it: the thread never outlives its
  /// window.
  ~JobWorker() override;

  /// Stops the job where it can stop.
  void Cancel() { job_.Cancel(); }

  /// The job's end; read it after finished().
  const JobEnd& outcome() const { return outcome_; }

 signals:
  /// The thousandths done, whenever they change.
  void Progressed(int permille);

 protected:
  void run() override;

 private:
  WindowJob job_;
  JobEnd outcome_;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_QT_JOB_WORKER_H_
