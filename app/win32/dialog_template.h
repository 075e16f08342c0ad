// Dialogs made at run time: an in-memory template with a caption and no
// controls, for the system's dialog machinery (modality, Enter, Esc and
// Tab), which then makes its controls when it starts.

#ifndef BRIMWALD_APP_WIN32_DIALOG_TEMPLATE_H_
#define BRIMWALD_APP_WIN32_DIALOG_TEMPLATE_H_

#include <windows.h>

#include <string>
#include <vector>

namespace brimwald::win32 {

/// A dialog template of `style` with the caption `caption` and no
/// controls; the dialog sizes itself. DWORD-aligned, as the system asks.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, const std::wstring& caption);

  const DLGTEMPLATE* get() const {
    return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
  }

 private:
  std::vector<DWORD> words_;
};

/// Makes a control of `class_name` in `dialog`, in the dialog font the main
/// window uses too. Throws std::runtime_error when Windows can't.
HWND AddControl(HWND dialog, int id, const wchar_t* class_name,
                const std::wstring& text, DWORD style, DWORD ex_style,
                RECT place);

/// Puts `dialog`, sized to the client size `width` by `height`, over the
/// middle of `owner`, then wholly within the work area of the owner's
/// monitor.
void PlaceOver(HWND dialog, HWND owner, int width, int height);

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_DIALOG_TEMPLATE_H_
