#include "app/qt/main_window.h"

#include <QApplication>
#include <QByteArray>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QListWidgetItem>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QTimer>
#include <utility>

#include "app/qt/dropped_files.h"
#include "app/qt/entries_dialog.h"
#include "app/qt/job_worker.h"
#include "app/qt/report_dialog.h"
#include "app/qt/write_back_dialog.h"
#include "ui_main_window.h"

namespace brimwald {
namespace {

// The item data that holds an entry's file name as the system gives it.
constexpr int kNameBytesRole = Qt::UserRole;
// How long an extraction runs before its progress dialog shows.
constexpr int kProgressShowMs = 400;

QString Shown(const std::string& bytes) {
  // Bytes that aren't UTF-8 show as the replacement character.
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string NameOf(const QListWidgetItem* item) {
  return item->data(kNameBytesRole).toByteArray().toStdString();
}

}  // namespace

MainWindow::MainWindow(const std::string& directory, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::Form1>()),
      session_(directory),
      list_menu_(new QMenu(this)),
      report_error_([this](const QString& description) {
        QMessageBox::critical(this, windowTitle(), description);
      }),
      beep_([] { QApplication::beep(); }),
      report_extract_([this](const ExtractReport& report) {
        ReportDialog(report, windowTitle(), this).exec();
      }),
      ask_([this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question) ==
               QMessageBox::Yes;
      }),
      confirm_([this](const WriteBackPlan& plan) -> std::optional<bool> {
        WriteBackDialog dialog(plan, windowTitle(), this);
        if (dialog.exec() != QDialog::Accepted || !plan.can_confirm) {
          return std::nullopt;
        }
        return dialog.backup();
      }),
      choose_file_([this](const QString& folder) {
        return QFileDialog::getOpenFileName(this, tr("Replace an entry"),
                                            folder, tr("Streams (*.qvstr)"));
      }) {
  ui_->setupUi(this);
  // Without a layout a label keeps its designed size; this one sizes itself
  // to its caption so that no font cuts it short.
  ui_->Label1->adjustSize();
  // The box shows the choice; only the list makes it.
  ui_->txtFileName->setReadOnly(true);
  ui_->File1->setToolTip(QString::fromLocal8Bit(session_.FolderText()));
  FillFileList();
  // Selection changes, not current-item changes: tabbing into the list makes
  // its first entry current without choosing it, and must not inspect it.
  connect(ui_->File1, &QListWidget::itemSelectionChanged, this,
          &MainWindow::ChooseSelectedEntry);
  // A click on the entry already chosen changes no selection, yet chooses it
  // again: the file may have changed since.
  ui_->File1->viewport()->installEventFilter(this);
  connect(ui_->File1, &QListWidget::itemClicked, this,
          &MainWindow::OnEntryClicked);
  connect(ui_->cmdRIP, &QPushButton::clicked, this, &MainWindow::RipSelection);

  extract_action_ = list_menu_->addAction(tr("Extract"));
  entries_action_ = list_menu_->addAction(tr("Entries\u2026"));
  update_action_ = list_menu_->addAction(tr("&Update from EXT_\u2026"));
  all_entries_action_ =
      list_menu_->addAction(tr("Entries of all containers\u2026"));
  setAcceptDrops(true);
  ui_->File1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ui_->File1, &QWidget::customContextMenuRequested, this,
          &MainWindow::ShowListMenu);
}

MainWindow::~MainWindow() {
  // A running extraction stops, and its thread ends, before the widgets
  // its signals reach are gone.
  delete worker_;
  // The dialog goes while the session that holds its entries is still here.
  delete entries_dialog_;
}

void MainWindow::SetErrorReport(Notice report) {
  report_error_ = std::move(report);
}

void MainWindow::SetBeep(Beep beep) { beep_ = std::move(beep); }

void MainWindow::SetExtractReport(ExtractReportBox report) {
  report_extract_ = std::move(report);
}

void MainWindow::SetQuestion(Question question) { ask_ = std::move(question); }

void MainWindow::SetConfirm(Confirm confirm) { confirm_ = std::move(confirm); }

void MainWindow::SetFileChooser(FileChooser chooser) {
  choose_file_ = std::move(chooser);
}

void MainWindow::FillFileList() {
  ListOutcome listed = session_.ListContainers();
  for (const std::string& name : listed.names) {
    auto* item = new QListWidgetItem(Shown(name), ui_->File1);
    item->setData(kNameBytesRole, QByteArray::fromStdString(name));
  }
  if (listed.failed()) {
    // Reported once the window runs, by the report the caller set by then.
    QTimer::singleShot(0, this,
                       [this, error = listed.error] { ReportError(error); });
  }
}

void MainWindow::ChooseFile(const std::string& name) {
  for (int row = 0; row < ui_->File1->count(); ++row) {
    QListWidgetItem* item = ui_->File1->item(row);
    if (NameOf(item) != name) continue;
    ui_->File1->scrollToItem(item);
    if (item->isSelected()) {
      ChooseSelectedEntry();
    } else {
      ui_->File1->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
    }
    return;
  }
  ui_->File1->clearSelection();
  Choose(name, Shown(name));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->File1->viewport() &&
      event->type() == QEvent::MouseButtonPress) {
    auto* press = static_cast<QMouseEvent*>(event);
    QListWidgetItem* item = ui_->File1->itemAt(press->position().toPoint());
    pressed_chosen_ = press->button() == Qt::LeftButton && item != nullptr &&
                              item->isSelected()
                          ? item
                          : nullptr;
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::OnEntryClicked(QListWidgetItem* item) {
  if (item == pressed_chosen_ && item->isSelected()) ChooseSelectedEntry();
  pressed_chosen_ = nullptr;
}

void MainWindow::ChooseSelectedEntry() {
  const QList<QListWidgetItem*> chosen = ui_->File1->selectedItems();
  if (chosen.isEmpty()) return;
  Choose(NameOf(chosen.front()), chosen.front()->text());
}

void MainWindow::Choose(const std::string& name, const QString& shown) {
  ui_->txtFileName->setText(shown);
  ChooseOutcome outcome = session_.Choose(name);
  // Emptied on an error before it is reported, so that the label never shows
  // another file's result next to this file's name.
  ShowInfo(QString::fromStdString(outcome.label));
  if (outcome.failed()) ReportError(outcome.error);
}

void MainWindow::RipSelection() {
  // The rip runs to its end before the window shows anything: the box gets
  // the last name once, before the beep and before an error report, so it
  // always ends on the last name the rip showed.
  RipOutcome outcome = session_.Rip();
  if (outcome.last_name) {
    ui_->txtName->setText(
        QString::fromLatin1(outcome.last_name->data(),
                            static_cast<qsizetype>(outcome.last_name->size())));
  }
  // Under the name box: which script the rip wrote, or nothing after an
  // error.
  ui_->lblStatus->setText(Shown(outcome.status));
  if (outcome.beep) beep_();
  if (outcome.failed()) ReportError(outcome.error);
}

void MainWindow::ShowListMenu(const QPoint& position) {
  // Right-pressing an entry has chosen it already; the menu key acts on the
  // current choice. The position is the list viewport's. The extraction runs
  // once the menu has closed, outside the menu's event loop.
  QAction* chosen =
      list_menu_->exec(ui_->File1->viewport()->mapToGlobal(position));
  if (chosen == extract_action_) ExtractSelection();
  if (chosen == entries_action_) OpenEntries();
  if (chosen == update_action_) UpdateSelection();
  if (chosen == all_entries_action_) OpenAllEntries();
}

void MainWindow::OpenEntries() {
  // Its entries go with it.
  delete entries_dialog_;
  ShowEntries(session_.OpenEntries());
}

void MainWindow::OpenAllEntries() {
  delete entries_dialog_;
  ShowEntries(session_.OpenAllEntries());
}

void MainWindow::ShowEntries(const EntriesOutcome& opened) {
  if (opened.failed()) {
    ReportError(opened.error);
    return;
  }
  entries_dialog_ =
      new EntriesDialog(*session_.entries(), Shown(opened.title), this);
  entries_dialog_->setAttribute(Qt::WA_DeleteOnClose);
  entries_dialog_->SetBusy(session_.busy());
  connect(entries_dialog_, &EntriesDialog::ExtractSelectedRequested, this,
          [this](const std::vector<int32_t>& rows) {
            StartExtraction(session_.StartExtractEntries(rows));
          });
  connect(entries_dialog_, &EntriesDialog::ExtractAllRequested, this,
          [this] { StartExtraction(session_.StartExtractAllEntries()); });
  connect(entries_dialog_, &EntriesDialog::ReplaceRequested, this,
          &MainWindow::ReplaceEntry);
  connect(entries_dialog_, &QObject::destroyed, this,
          [this] { session_.CloseEntries(); });
  entries_dialog_->show();
}

void MainWindow::ExtractSelection() {
  StartExtraction(session_.StartExtract());
}

void MainWindow::StartExtraction(StartOutcome started) {
  if (started.failed()) {
    ReportError(started.error);
    return;
  }
  StartWorker(new JobWorker(WindowJob(std::move(started.job)), this),
              started.progress_text);
}

void MainWindow::UpdateSelection() {
  WriteBackPlan plan = session_.PlanUpdate();
  if (plan.failed()) {
    ReportError(plan.error);
    return;
  }
  std::optional<bool> backup = confirm_(plan);
  if (backup) StartWriteBack(session_.StartUpdate(*backup));
}

void MainWindow::ReplaceEntry(int32_t row, const QString& file) {
  QString chosen = file;
  if (chosen.isEmpty()) {
    chosen =
        choose_file_(QFile::decodeName(session_.ReplaceFolder(row).c_str()));
    if (chosen.isEmpty()) return;
  }
  const std::string path = QFile::encodeName(chosen).toStdString();
  WriteBackPlan plan = session_.PlanReplace(row, path);
  if (plan.failed()) {
    ReportError(plan.error);
    return;
  }
  std::optional<bool> backup = confirm_(plan);
  if (backup) StartWriteBack(session_.StartReplace(row, path, *backup));
}

void MainWindow::StartWriteBack(WriteBackStartOutcome started) {
  if (started.failed()) {
    ReportError(started.error);
    return;
  }
  StartWorker(new JobWorker(WindowJob(std::move(started.job)), this),
              started.progress_text);
}

void MainWindow::StartWorker(JobWorker* worker,
                             const std::string& progress_text) {
  SetBusy(true);
  ShowProgress(Shown(progress_text));
  worker_ = worker;
  // The worker's signals come queued, from its thread.
  connect(worker_, &JobWorker::Progressed, progress_,
          &QProgressDialog::setValue);
  connect(worker_, &QThread::finished, this, &MainWindow::FinishJob);
  connect(progress_, &QProgressDialog::canceled, worker_, &JobWorker::Cancel);
  worker_->start();
}

void MainWindow::ShowProgress(const QString& text) {
  // Not modal: the window goes on repainting and moving, and its close
  // button asks to stop the extraction.
  progress_ = new QProgressDialog(text, tr("Cancel"), 0, kPermille, this);
  progress_->setWindowTitle(windowTitle());
  progress_->setWindowModality(Qt::NonModal);
  progress_->setMinimumDuration(kProgressShowMs);
  progress_->setAutoReset(false);
  progress_->setAutoClose(false);
  progress_->setValue(0);  // shows the dialog once kProgressShowMs have passed
}

void MainWindow::FinishJob() {
  worker_->wait();
  JobEnd outcome = worker_->outcome();
  worker_->deleteLater();
  worker_ = nullptr;
  // Gone now, not later: the report's own event loop would run the timer
  // that shows a dialog still hidden, under the report, until it closed.
  delete progress_;
  progress_ = nullptr;
  ActionOutcome finished = session_.FinishJob();
  if (entries_dialog_) entries_dialog_->Reload();
  SetBusy(false);
  if (close_when_stopped_) {
    close();
  } else if (outcome.failed()) {
    ReportError(outcome.error);
  } else {
    report_extract_(outcome.report);
  }
  if (finished.failed()) ReportError(finished.error);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!session_.busy() &&
      WindowSession::TakesDrop(DroppedFiles(*event->mimeData()))) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::vector<std::string> files = DroppedFiles(*event->mimeData());
  if (session_.busy() || !WindowSession::TakesDrop(files)) return;
  event->acceptProposedAction();
  DropOutcome dropped = session_.Drop(files.front());
  if (dropped.failed()) {
    ReportError(dropped.error);
    return;
  }
  ui_->File1->clear();
  ui_->File1->setToolTip(QString::fromLocal8Bit(session_.FolderText()));
  FillFileList();
  ChooseFile(dropped.chosen);
}

void MainWindow::SetBusy(bool busy) {
  // A disabled list takes no click, key or context menu either. It gets
  // its focus back, which disabling it moved on.
  if (busy) list_had_focus_ = ui_->File1->hasFocus();
  ui_->File1->setEnabled(!busy);
  ui_->cmdRIP->setEnabled(!busy);
  if (entries_dialog_) entries_dialog_->SetBusy(busy);
  if (!busy && list_had_focus_) ui_->File1->setFocus();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!session_.busy()) {
    QWidget::closeEvent(event);
    return;
  }
  event->ignore();
  if (close_when_stopped_) return;
  if (ask_(QString::fromLocal8Bit(session_.CloseQuestion()))) {
    close_when_stopped_ = true;
    worker_->Cancel();
  }
}

void MainWindow::ShowInfo(const QString& text) {
  ui_->lblINFO->setText(text);
  ui_->lblINFO->adjustSize();
}

void MainWindow::ReportError(const std::string& description) {
  report_error_(QString::fromLocal8Bit(description));
}

}  // namespace brimwald
