#include "app/session/write_back_job.h"

#include <optional>
#include <utility>

#include "app/session/extract_job.h"
#include "replace/replace.h"
#include "replace/update.h"
#include "replace/update_report.h"
#include "table/table_walk.h"

namespace brimwald {
namespace {

// How far the job is at each step it tells: the check, the writing, the
// end. Nothing finer is known.
constexpr int kChecked = kPermille / 10;

class JobObserver : public UpdateObserver {
 public:
  JobObserver(const WriteBackJob& job, const WriteBackJob::Progress& progress)
      : job_(job), progress_(progress) {}
  void Listed() override {
    if (progress_) progress_(kChecked);
  }
  bool BeforeRename() override { return !job_.cancelled(); }

 private:
  const WriteBackJob& job_;
  const WriteBackJob::Progress& progress_;
};

}  // namespace

WriteBackJob::WriteBackJob(Selection selection, bool backup)
    : selection_(std::move(selection)), backup_(backup) {}

WriteBackJob::WriteBackJob(Selection selection, int32_t index,
                           std::string qvstr_path, bool backup)
    : selection_(std::move(selection)),
      backup_(backup),
      index_(index),
      qvstr_path_(std::move(qvstr_path)) {}

WriteBackOutcome WriteBackJob::Run(const Progress& progress) {
  return RunAction<WriteBackOutcome>([&](WriteBackOutcome& outcome) {
    if (index_ < 0) {
      RunUpdate(outcome, progress);
    } else {
      RunReplace(outcome, progress);
    }
    if (progress) progress(kPermille);
  });
}

void WriteBackJob::RunUpdate(WriteBackOutcome& outcome,
                             const Progress& progress) {
  JobObserver observer(*this, progress);
  UpdateResult result = Update(selection_, {.backup = backup_}, &observer);
  UpdateReport report = UpdateReportOf(result, false);
  outcome.written = result.written;
  outcome.report = {!result.Complete(), report.summary, result.folder,
                    report.Details()};
}

void WriteBackJob::RunReplace(WriteBackOutcome& outcome,
                              const Progress& progress) {
  std::optional<TableWalk> walk(std::in_place, selection_);
  if (progress) progress(kChecked);
  ReplaceSettings settings;
  settings.backup = backup_;
  settings.before_rename = [this] { return !cancelled(); };
  ReplaceResult result = Replace(walk, {{index_, qvstr_path_}}, settings);
  const ReplacedEntry& entry = result.entries.front();
  if (!entry.refusal.empty()) throw Error(ErrorKind::kFile, entry.refusal);
  outcome.written = result.written;
  const std::string what = selection_.FileName + ": entry " +
                           std::to_string(entry.index) + " '" + entry.name +
                           "'";
  outcome.report = {
      !result.written,
      what + (result.written ? " replaced"
                             : " not replaced: stopped, nothing written"),
      PathInDirectory(selection_, selection_.FilePath), ReplacedLine(entry)};
}

}  // namespace brimwald
