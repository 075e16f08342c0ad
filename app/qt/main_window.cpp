#include "app/qt/main_window.h"

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QListWidgetItem>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "ui_main_window.h"

namespace brimwald {
namespace {

// The item data that holds an entry's file name as the system gives it.
constexpr int kNameBytesRole = Qt::UserRole;
// The progress bar's range: thousandths of the work.
constexpr int kProgressSteps = 1000;
// How long an extraction runs before its progress dialog shows, and how
// often it lets the window handle its events (the Cancel button's above
// all).
constexpr int kProgressShowMs = 400;
constexpr qint64 kEventsEveryMs = 30;

QString Shown(const std::string& bytes) {
  // Bytes that aren't UTF-8 show as the replacement character.
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string NameOf(const QListWidgetItem* item) {
  return item->data(kNameBytesRole).toByteArray().toStdString();
}

int ProgressStep(const ExtractProgress& progress) {
  int64_t done = progress.bytes_done;
  int64_t total = progress.bytes_total;
  if (total <= 0) {
    done = progress.entries_done;
    total = progress.entries_total;
  }
  if (total <= 0) return kProgressSteps;
  return static_cast<int>(std::min<int64_t>(done, total) * kProgressSteps /
                          total);
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
      report_extract_([this](const QString& report) {
        QMessageBox::information(this, windowTitle(), report);
      }) {
  ui_->setupUi(this);
  // Without a layout a label keeps its designed size; this one sizes itself
  // to its caption so that no font cuts it short.
  ui_->Label1->adjustSize();
  // The box shows the choice; only the list makes it.
  ui_->txtFileName->setReadOnly(true);
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
  ui_->File1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ui_->File1, &QWidget::customContextMenuRequested, this,
          &MainWindow::ShowListMenu);
}

MainWindow::~MainWindow() = default;

void MainWindow::SetErrorReport(Notice report) {
  report_error_ = std::move(report);
}

void MainWindow::SetBeep(Beep beep) { beep_ = std::move(beep); }

void MainWindow::SetExtractReport(Notice report) {
  report_extract_ = std::move(report);
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
  if (outcome.beep) beep_();
  if (outcome.failed()) ReportError(outcome.error);
}

void MainWindow::ShowListMenu(const QPoint& position) {
  // Right-pressing an entry has chosen it already; the menu key acts on the
  // current choice. The position is the list viewport's. The extraction runs
  // once the menu has closed, outside the menu's event loop.
  if (list_menu_->exec(ui_->File1->viewport()->mapToGlobal(position)) ==
      extract_action_) {
    ExtractSelection();
  }
}

void MainWindow::ExtractSelection() {
  QProgressDialog progress(tr("Extracting %1...").arg(ui_->txtFileName->text()),
                           tr("Cancel"), 0, kProgressSteps, this);
  progress.setWindowTitle(windowTitle());
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(kProgressShowMs);
  progress.setAutoReset(false);
  progress.setAutoClose(false);
  progress.setValue(0);
  QElapsedTimer since_events;
  ExtractOutcome outcome = session_.Extract([&](const ExtractProgress& step) {
    progress.setValue(ProgressStep(step));
    // The extraction runs in this event: the dialog and its Cancel button
    // only answer while it lets them. Until the dialog shows and blocks the
    // window, the user's input waits, so that no other action of the window
    // runs in the middle of this one.
    if (!since_events.isValid() || since_events.elapsed() >= kEventsEveryMs) {
      QApplication::processEvents(progress.isVisible()
                                      ? QEventLoop::AllEvents
                                      : QEventLoop::ExcludeUserInputEvents);
      since_events.start();
    }
    return !progress.wasCanceled();
  });
  progress.close();
  if (outcome.failed()) {
    ReportError(outcome.error);
  } else {
    report_extract_(QString::fromLocal8Bit(outcome.Report()));
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
