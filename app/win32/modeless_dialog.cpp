#include "app/win32/modeless_dialog.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "app/win32/dialog_template.h"

namespace brimwald::win32 {

ModelessDialog::~ModelessDialog() {
  if (!::IsWindow(dialog_)) return;
  ::SetWindowLongPtrW(dialog_, DWLP_USER, 0);
  ::DestroyWindow(dialog_);
}

void ModelessDialog::Create(HWND owner, DWORD style,
                            const std::wstring& caption,
                            const std::string& what) {
  DialogTemplate form(style, caption);
  dialog_ = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                         form.get(), owner, &Procedure,
                                         reinterpret_cast<LPARAM>(this));
  if (dialog_ == nullptr || failed_) {
    if (dialog_ != nullptr) ::DestroyWindow(std::exchange(dialog_, nullptr));
    throw std::runtime_error("cannot create the " + what);
  }
}

INT_PTR CALLBACK ModelessDialog::Procedure(HWND dialog, UINT message,
                                           WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    auto* self = reinterpret_cast<ModelessDialog*>(lparam);
    self->dialog_ = dialog;
    // No exception crosses the system's dialog code: Create() throws it
    // instead.
    try {
      self->CreateControls();
    } catch (const std::exception&) {
      self->failed_ = true;
    }
    return FALSE;  // the system sets no focus: the controls place it
  }
  auto* self =
      reinterpret_cast<ModelessDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  return self == nullptr ? FALSE : self->Handle(message, wparam, lparam);
}

}  // namespace brimwald::win32
