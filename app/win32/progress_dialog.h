// The dialog the Win32 window shows while an extraction runs, as the Qt
// window does: its text, a bar of thousandths and Cancel. It isn't modal,
// so the main window goes on repainting and moving, and it shows itself
// only once the extraction has taken more than a moment. Cancel, Esc and
// its close button stop the extraction and hide it.

#ifndef BRIMWALD_APP_WIN32_PROGRESS_DIALOG_H_
#define BRIMWALD_APP_WIN32_PROGRESS_DIALOG_H_

#include <windows.h>

#include <functional>
#include <string>

#include "app/win32/modeless_dialog.h"

namespace brimwald::win32 {

class ProgressDialog : public ModelessDialog {
 public:
  /// Its controls; Cancel is the dialog's IDCANCEL.
  enum ControlId : int { kText = 301, kBar };

  /// Makes the dialog, hidden, over `owner`, titled `title`, with `text`
  /// above its bar; `cancel` is called once, when the user cancels. Throws
  /// std::runtime_error when Windows can't make it.
  ProgressDialog(HWND owner, const std::wstring& title,
                 const std::wstring& text, std::function<void()> cancel);

  /// Moves the bar to `permille` thousandths.
  void SetValue(int permille);

 private:
  void CreateControls() override;
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Cancel();

  HWND owner_;
  std::wstring text_;
  std::function<void()> cancel_;
};

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_PROGRESS_DIALOG_H_
