// Form1 on Windows: the window's design drawn with the Win32 API. What the
// window does lives in WindowSession (app/session/window_session.h); this file
// only draws the controls and routes their two events to it.

#ifndef BRIMWALD_APP_WIN32_MAIN_WINDOW_H_
#define BRIMWALD_APP_WIN32_MAIN_WINDOW_H_

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/session/window_session.h"

namespace brimwald::win32 {

inline constexpr wchar_t kCaption[] = L"Brimwald Ripper (PC/PS3/WII/X360)";

/// The controls, in tab order; Line1 takes no focus.
enum ControlId : int {
  kLabel1 = 101,
  kTxtFileName,
  kFile1,
  kCmdRip,
  kLblInfo,
  kTxtName,
  kLine1,
};

class MainWindow {
 public:
  /// Shows an error's description (UTF-16) to the user.
  using ErrorReport = std::function<void(const std::wstring& description)>;
  /// Tells the user that a script is complete.
  using Beep = std::function<void()>;

  /// Creates and shows the window for the containers of `directory` (""
  /// for the current folder), whose list it fills once, now. Errors go to
  /// a message box titled with the caption, completion to the system beep,
  /// and closing the window ends the thread's message loop, until the
  /// setters below say otherwise. Throws std::runtime_error when Windows
  /// can't create the window.
  MainWindow(HINSTANCE instance, std::string directory);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void SetErrorReport(ErrorReport report) { report_error_ = std::move(report); }
  void SetBeep(Beep beep) { beep_ = std::move(beep); }
  /// What closing the window does after it is gone.
  void SetClosed(std::function<void()> closed) { closed_ = std::move(closed); }

  HWND handle() const { return window_; }
  HWND control(ControlId id) const { return ::GetDlgItem(window_, id); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void FillFileList();
  void Choose();
  void Rip();
  /// Sets a label's text and sizes the label to it.
  void SetLabel(ControlId id, const std::wstring& text);

  WindowSession session_;
  std::vector<std::string> names_;  // File1's entries, as the system names them
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  ErrorReport report_error_;
  Beep beep_;
  std::function<void()> closed_;
};

/// `bytes` with each byte as the character of that number (Latin-1), as
/// entry names are shown: they come from the container, in no known code
/// page.
std::wstring BytesAsLatin1(const std::string& bytes);

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_MAIN_WINDOW_H_
