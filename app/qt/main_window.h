// The program's one window, `Form1`: the list of a folder's containers, the
// inspection result, the RIP button, the name of the entry being ripped and,
// below it, which script RIP wrote, and the list's context menu with
// Extract, Entries..., which opens the Entries dialog on the chosen
// container, and Update from EXT_.... It draws what the WindowSession gives
// back and routes the user's events to it; the logic is in the core. A job
// (an extraction, from the menu or the Entries dialog, an update, or the
// dialog's Replace...) runs on a worker thread, so that the window repaints
// and moves meanwhile; its list, RIP and the dialog's buttons wait until it
// ends. A .str file dropped on the window opens its folder and chooses it.

#ifndef BRIMWALD_APP_QT_MAIN_WINDOW_H_
#define BRIMWALD_APP_QT_MAIN_WINDOW_H_

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/qt/entries_dialog.h"
#include "app/session/window_session.h"

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QListWidgetItem;
class QMenu;
class QProgressDialog;

namespace Ui {
class Form1;
}

namespace brimwald {

class JobWorker;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  /// Shows the user an error that reached the top of an event.
  using Notice = std::function<void(const QString& text)>;
  /// Tells the user that a rip script is complete.
  using Beep = std::function<void()>;
  /// Shows the report that ends an extraction.
  using ExtractReportBox = std::function<void(const ExtractReport& report)>;
  /// Asks the user a yes-or-no question; true for yes.
  using Question = std::function<bool(const QString& question)>;
  /// Shows a write-back's plan; whether to keep a backup once confirmed,
  /// nullopt when cancelled (or when there is nothing to confirm).
  using Confirm = std::function<std::optional<bool>(const WriteBackPlan& plan)>;
  /// Asks for the .qvstr file to put back, starting in `folder`; empty
  /// when the user chose none.
  using FileChooser = std::function<QString(const QString& folder)>;

  /// Creates the window from its design and lists the "*.str" files of
  /// `directory` (bytes, as the system names it; empty: the current
  /// directory), which is also where the chosen container is read and its
  /// script written. The list is filled once, here; nothing is chosen and
  /// nothing inspected until the user picks an entry. A folder that can't
  /// be listed is reported once the event loop runs. Errors are reported in
  /// a message box titled with the window's caption, the beep is the
  /// system's, an extraction's report is a ReportDialog and the question
  /// before closing during an extraction is a message box.
  explicit MainWindow(const std::string& directory = "",
                      QWidget* parent = nullptr);
  /// Stops a running extraction and waits for its worker.
  ~MainWindow() override;

  /// Replaces the error report, e.g. so that tests never wait on a modal box.
  void SetErrorReport(Notice report);
  /// Replaces the beep that ends a successful rip.
  void SetBeep(Beep beep);
  /// Replaces the box that shows an extraction's report.
  void SetExtractReport(ExtractReportBox report);
  /// Replaces the question asked before closing during an extraction.
  void SetQuestion(Question question);
  /// Replaces the confirmation of a write-back (a WriteBackDialog).
  void SetConfirm(Confirm confirm);
  /// Replaces the file chooser of Replace... (the system's).
  void SetFileChooser(FileChooser chooser);

  /// Chooses the file `name` (a bare name in the window's folder) as a click
  /// would: selects its entry, and inspects it even when it isn't listed.
  void ChooseFile(const std::string& name);

  /// Entries...: opens the Entries dialog on the chosen container, as the
  /// list's menu does, in place of one open before; reports an error
  /// instead when its entries can't be read.
  void OpenEntries();
  /// Entries of all containers...: opens the Entries dialog on every
  /// container of the window's folder, as the list's menu does, in place
  /// of one open before.
  void OpenAllEntries();
  /// The Entries dialog while it is open, else null.
  EntriesDialog* entries_dialog() const { return entries_dialog_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  /// One .str file is taken while no job runs.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  /// During an extraction, asks whether to stop it; on yes the window
  /// closes once the worker has stopped between two entries.
  void closeEvent(QCloseEvent* event) override;

 private:
  void FillFileList();
  void ChooseSelectedEntry();
  void OnEntryClicked(QListWidgetItem* item);
  void Choose(const std::string& name, const QString& shown);
  void RipSelection();
  void ShowListMenu(const QPoint& position);
  void ExtractSelection();
  void ShowEntries(const EntriesOutcome& opened);
  void StartExtraction(StartOutcome started);
  void UpdateSelection();
  void ReplaceEntry(int32_t row, const QString& file);
  void StartWriteBack(WriteBackStartOutcome started);
  void StartWorker(JobWorker* worker, const std::string& progress_text);
  void ShowProgress(const QString& text);
  void FinishJob();
  void SetBusy(bool busy);
  void ShowInfo(const QString& text);
  void ReportError(const std::string& description);

  std::unique_ptr<Ui::Form1> ui_;
  WindowSession session_;
  QMenu* list_menu_;
  QAction* extract_action_;
  QAction* entries_action_;
  QAction* update_action_;
  QAction* all_entries_action_;
  QPointer<EntriesDialog> entries_dialog_;
  // The entry a left button press landed on while it was already chosen:
  // the click it starts chooses it again.
  QListWidgetItem* pressed_chosen_ = nullptr;
  Notice report_error_;
  Beep beep_;
  ExtractReportBox report_extract_;
  Question ask_;
  Confirm confirm_;
  FileChooser choose_file_;
  // While a job runs: its worker and its progress dialog.
  JobWorker* worker_ = nullptr;
  QProgressDialog* progress_ = nullptr;
  // The user closed the window during the extraction and agreed to stop it.
  bool close_when_stopped_ = false;
  bool list_had_focus_ = false;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_QT_MAIN_WINDOW_H_
