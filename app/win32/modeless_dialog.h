// A modeless dialog made at run time from a DialogTemplate, whose messages
// go to the object that made it. The window's Entries and progress dialogs
// are such dialogs: each makes its controls when the dialog starts and
// handles its own messages; the binding of the dialog to its object, and
// keeping exceptions out of the system's dialog code, live here once.

#ifndef BRIMWALD_APP_WIN32_MODELESS_DIALOG_H_
#define BRIMWALD_APP_WIN32_MODELESS_DIALOG_H_

#include <windows.h>

#include <string>

namespace brimwald::win32 {

class ModelessDialog {
 public:
  ModelessDialog(const ModelessDialog&) = delete;
  ModelessDialog& operator=(const ModelessDialog&) = delete;

  HWND handle() const { return dialog_; }

 protected:
  ModelessDialog() = default;
  /// Destroys the dialog; the messages its destruction sends reach no
  /// handler, since the subclass is gone by then.
  virtual ~ModelessDialog();

  /// Makes the dialog, hidden, of `style` and titled `caption`, over
  /// `owner`; call it from the subclass's constructor. Throws
  /// std::runtime_error ("cannot create the <what>") when Windows can't
  /// make it or CreateControls() throws.
  void Create(HWND owner, DWORD style, const std::wstring& caption,
              const std::string& what);

  /// Makes the controls, while the dialog starts.
  virtual void CreateControls() = 0;
  /// Every later message, as a dialog procedure takes it: TRUE when
  /// handled.
  virtual INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam) = 0;

  HWND dialog_ = nullptr;

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam,
                                    LPARAM lparam);

  bool failed_ = false;  // its controls couldn't be made
};

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_MODELESS_DIALOG_H_
