// Form1 on Windows: the window's design drawn with the Win32 API. What the
// window does lives in WindowSession (app/session/window_session.h); this file
// only draws the controls and routes their events to it: a choice in the
// list, RIP, and Extract, Entries... and Update from EXT_... from the list's
// context menu; Entries... opens the Entries dialog on the chosen
// container. A job (an extraction, from the menu or the Entries dialog, an
// update, or the dialog's Replace...) runs on a worker thread, so that the
// window repaints and moves meanwhile; its list, RIP and the dialog's
// buttons wait until it ends. A .str file dropped on the window opens its
// folder and chooses it.

#ifndef BRIMWALD_APP_WIN32_MAIN_WINDOW_H_
#define BRIMWALD_APP_WIN32_MAIN_WINDOW_H_

#include <windows.h>
// HDROP, which windows.h leaves out when lean.
#include <shellapi.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/session/window_session.h"
#include "app/win32/entries_dialog.h"
#include "app/win32/job_worker.h"
#include "app/win32/progress_dialog.h"

namespace brimwald::win32 {

inline constexpr wchar_t kCaption[] = L"Brimwald Ripper (PC/PS3/WII/X360)";

/// The controls, in tab order; Line1 takes no focus, nor lblStatus, which
/// the window adds below txtName to say which script RIP wrote.
enum ControlId : int {
  kLabel1 = 101,
  kTxtFileName,
  kFile1,
  kCmdRip,
  kLblInfo,
  kTxtName,
  kLine1,
  kLblStatus,
};

class MainWindow {
 public:
  /// Shows an error's description (UTF-16) to the user.
  using ErrorReport = std::function<void(const std::wstring& description)>;
  /// Tells the user that a script is complete.
  using Beep = std::function<void()>;
  /// Shows the report that ends an extraction.
  using ExtractReportBox = std::function<void(const ExtractReport& report)>;
  /// Asks the user a yes-or-no question (UTF-16); true for yes.
  using Question = std::function<bool(const std::wstring& question)>;

  /// Shows a write-back's plan; whether to keep a backup once confirmed,
  /// nullopt when cancelled (or when there is nothing to confirm).
  using Confirm = std::function<std::optional<bool>(const WriteBackPlan& plan)>;
  /// Asks for the .qvstr file to put back (UTF-8), starting in `folder`;
  /// empty when the user chose none.
  using FileChooser = std::function<std::string(const std::string& folder)>;

  /// The list's context menu's commands: Extract, Entries..., Update from
  /// EXT_..., Entries of all containers...
  static constexpr UINT kExtractCommand = 1;
  static constexpr UINT kEntriesCommand = 2;
  static constexpr UINT kUpdateCommand = 3;
  static constexpr UINT kAllEntriesCommand = 4;
  /// Posted by the Entries dialog (LPARAM) once the user has closed it.
  static constexpr UINT kEntriesClosedMessage = WM_APP + 3;

  /// Creates and shows the window for the containers of `directory` (""
  /// for the current folder), whose list it fills once, now. Errors go to
  /// a message box titled with the caption, completion to the system beep,
  /// an extraction's report to its box (report_dialog.h), the question
  /// before closing during an extraction to a message box, and closing the
  /// window ends the thread's message loop, until the setters below say
  /// otherwise. Throws std::runtime_error when Windows can't create the
  /// window.
  MainWindow(HINSTANCE instance, std::string directory);
  /// Stops a running extraction and waits for its worker.
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void SetErrorReport(ErrorReport report) { report_error_ = std::move(report); }
  void SetBeep(Beep beep) { beep_ = std::move(beep); }
  /// What closing the window does after it is gone.
  void SetClosed(std::function<void()> closed) { closed_ = std::move(closed); }
  void SetExtractReport(ExtractReportBox report) {
    report_extract_ = std::move(report);
  }
  void SetQuestion(Question question) { ask_ = std::move(question); }
  /// Replaces the confirmation of a write-back (write_back_dialog.h).
  void SetConfirm(Confirm confirm) { confirm_ = std::move(confirm); }
  /// Replaces the file chooser of Replace... (the system's).
  void SetFileChooser(FileChooser chooser) {
    choose_file_ = std::move(chooser);
  }

  /// Entries...: opens the Entries dialog on the chosen container, as the
  /// list's menu does, in place of one open before; reports an error
  /// instead when its entries can't be read.
  void OpenEntries();
  /// Entries of all containers...: opens the Entries dialog on every
  /// container of the window's folder, as the list's menu does, in place
  /// of one open before.
  void OpenAllEntries();
  /// The Entries dialog while it is open, else null.
  EntriesDialog* entries_dialog() const { return entries_.get(); }

  /// Gives `message` to the window or its dialogs when it is theirs
  /// to move the focus (Tab, the arrows) or press a button (Enter, Esc);
  /// true when one took it, and the message loop then skips it.
  bool TakeDialogMessage(MSG& message);

  HWND handle() const { return window_; }
  HWND control(ControlId id) const { return ::GetDlgItem(window_, id); }
  /// The tooltip that shows the folder on the list.
  HWND folder_tip() const { return folder_tip_; }
  /// The progress dialog while an extraction runs, else null.
  HWND progress_dialog() const {
    return progress_ ? progress_->handle() : nullptr;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void AddFolderTip(HINSTANCE instance);
  void FillFileList();
  void Choose();
  void Rip();
  void ShowListMenu(LPARAM at);
  void ChooseEntryAt(POINT on_screen);
  void ExtractSelection();
  void ShowEntries(const EntriesOutcome& opened);
  void StartExtraction(StartOutcome started);
  void UpdateSelection();
  void ReplaceEntry(int32_t row, const std::string& file);
  void StartWriteBack(WriteBackStartOutcome started);
  void StartWorker(WindowJob job, const std::string& progress_text);
  void Dropped(HDROP drop);
  void CloseEntries(HWND dialog);
  void FinishJob();
  void SetBusy(bool busy);
  void AskToStop();
  /// Sets a label's text and sizes the label to it.
  void SetLabel(ControlId id, const std::wstring& text);

  WindowSession session_;
  std::vector<std::string> names_;  // File1's entries, as the system names them
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HWND folder_tip_ = nullptr;
  std::wstring folder_text_;  // the tooltip's text, which it doesn't copy
  ErrorReport report_error_;
  Beep beep_;
  ExtractReportBox report_extract_;
  Question ask_;
  Confirm confirm_;
  FileChooser choose_file_;
  std::function<void()> closed_;
  // While a job runs: its worker and its progress dialog.
  std::unique_ptr<JobWorker> worker_;
  std::unique_ptr<ProgressDialog> progress_;
  std::unique_ptr<EntriesDialog> entries_;
  // The user closed the window during the extraction and agreed to stop it.
  bool close_when_stopped_ = false;
  // The control that had the focus when the extraction disabled it.
  HWND focus_before_ = nullptr;
};

/// `bytes` with each byte as the character of that number (Latin-1), as
/// entry names are shown: they come from the container, in no known code
/// page.
std::wstring BytesAsLatin1(const std::string& bytes);

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_MAIN_WINDOW_H_
