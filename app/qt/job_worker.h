// One job of the window (an extraction, or putting streams back) on a
// thread of its own, for the Qt window: the window's thread stays free to
// repaint, move the window and answer Cancel, and learns how far the job
// is from signals, which reach it queued.

#ifndef BRIMWALD_APP_QT_JOB_WORKER_H_
#define BRIMWALD_APP_QT_JOB_WORKER_H_

#include <QThread>
#include <functional>
#include <memory>

#include "app/session/action_outcome.h"
#include "app/session/extract_job.h"
#include "app/session/extract_report.h"
#include "app/session/write_back_job.h"

namespace brimwald {

/// What a job leaves for the window: the error that ended it, or its
/// report.
struct JobEnd : ActionOutcome {
  ExtractReport report;
};

class JobWorker : public QThread {
  Q_OBJECT

 public:
  /// A worker for `job`; start() runs it. The job's end is there once
  /// finished() has come.
  explicit JobWorker(std::unique_ptr<ExtractJob> job,
                     QObject* parent = nullptr);
  explicit JobWorker(std::unique_ptr<WriteBackJob> job,
                     QObject* parent = nullptr);
  /// Stops a running job and waits for it: the thread never outlives its
  /// window.
  ~JobWorker() override;

  /// Stops the job where it can stop.
  void Cancel() { cancel_(); }

  /// The job's end; read it after finished().
  const JobEnd& outcome() const { return outcome_; }

 signals:
  /// The thousandths done, whenever they change.
  void Progressed(int permille);

 protected:
  void run() override;

 private:
  using Progress = std::function<void(int permille)>;

  std::function<JobEnd(const Progress&)> run_;
  std::function<void()> cancel_;
  JobEnd outcome_;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_QT_JOB_WORKER_H_
