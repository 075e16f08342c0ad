#include "app/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidgetItem>
#include <QMessageBox>
#include <optional>
#include <utility>

#include "container/inspection.h"
#include "ui_main_window.h"

namespace brimwald {

MainWindow::MainWindow(const QString& directory, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::Form1>()),
      directory_(QFile::encodeName(directory).toStdString()),
      report_error_([this](const QString& description) {
        QMessageBox::critical(this, windowTitle(), description);
      }),
      beep_([] { QApplication::beep(); }) {
  ui_->setupUi(this);
  // Without a layout a label keeps its designed size; this one sizes itself
  // to its caption so that no font cuts it short.
  ui_->Label1->adjustSize();
  FillFileList(directory);
  // Selection changes, not current-item changes: tabbing into the list makes
  // its first entry current without choosing it, and must not inspect it.
  connect(ui_->File1, &QListWidget::itemSelectionChanged, this,
          &MainWindow::InspectChosenFile);
  connect(ui_->cmdRIP, &QPushButton::clicked, this, &MainWindow::RipSelection);
}

MainWindow::~MainWindow() = default;

void MainWindow::SetErrorReport(ErrorReport report) {
  report_error_ = std::move(report);
}

void MainWindow::SetBeep(Beep beep) { beep_ = std::move(beep); }

void MainWindow::FillFileList(const QString& directory) {
  QDir dir(directory.isEmpty() ? QStringLiteral(".") : directory);
  // QDir matches name filters ignoring letter case unless told otherwise.
  ui_->File1->addItems(dir.entryList({QStringLiteral("*.str")}, QDir::Files,
                                     QDir::Name | QDir::IgnoreCase));
}

void MainWindow::InspectChosenFile() {
  const QList<QListWidgetItem*> chosen = ui_->File1->selectedItems();
  if (chosen.isEmpty()) return;
  const QString name = chosen.front()->text();
  ui_->txtFileName->setText(name);
  try {
    ShowInfo(QString::fromStdString(Inspect(
        QFile::encodeName(name).toStdString(), selection_, directory_)));
  } catch (...) {
    // Emptied first, so that the label never shows another file's result
    // next to this file's name.
    ShowInfo(QString());
    Report(std::current_exception());
  }
}

void MainWindow::RipSelection() {
  // The event loop doesn't run until the rip ends, so txtName can't be
  // repainted in between: keeping the latest name and setting the box once
  // spares a text-box update per entry. It is set before the beep and before
  // an error report, so the box always ends on the last name the rip showed.
  std::optional<std::string> last_name;
  auto show_last_name = [&] {
    if (!last_name) return;
    ui_->txtName->setText(QString::fromLatin1(
        last_name->data(), static_cast<qsizetype>(last_name->size())));
  };
  try {
    Rip(
        selection_, [&](const TableEntry& entry) { last_name = entry.Name; },
        [&] {
          show_last_name();
          beep_();
        });
  } catch (...) {
    show_last_name();
    Report(std::current_exception());
  }
}

void MainWindow::ShowInfo(const QString& text) {
  ui_->lblINFO->setText(text);
  ui_->lblINFO->adjustSize();
}

void MainWindow::Report(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    report_error_(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    report_error_(tr("An unknown error occurred."));
  }
}

}  // namespace brimwald
