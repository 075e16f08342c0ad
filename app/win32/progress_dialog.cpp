#include "app/win32/progress_dialog.h"

#include <commctrl.h>

#include <stdexcept>
#include <utility>

#include "app/session/extract_job.h"
#include "app/win32/dialog_template.h"

namespace brimwald::win32 {
namespace {

// How long an extraction runs before its progress dialog shows.
constexpr UINT kShowAfterMs = 400;
constexpr UINT_PTR kShowTimer = 1;
constexpr int kWidth = 320;
constexpr int kHeight = 97;

}  // namespace

ProgressDialog::ProgressDialog(HWND owner, const std::wstring& title,
                               const std::wstring& text,
                               std::function<void()> cancel)
    : owner_(owner), text_(text), cancel_(std::move(cancel)) {
  DialogTemplate form(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                      title);
  dialog_ = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                         form.get(), owner, &Procedure,
                                         reinterpret_cast<LPARAM>(this));
  if (dialog_ == nullptr || failed_) {
    if (dialog_ != nullptr) ::DestroyWindow(dialog_);
    throw std::runtime_error("cannot create the progress dialog");
  }
}

ProgressDialog::~ProgressDialog() { ::DestroyWindow(dialog_); }

void ProgressDialog::SetValue(int permille) {
  ::SendDlgItemMessageW(dialog_, kBar, PBM_SETPOS,
                        static_cast<WPARAM>(permille), 0);
}

INT_PTR CALLBACK ProgressDialog::Procedure(HWND dialog, UINT message,
                                           WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    auto* self = reinterpret_cast<ProgressDialog*>(lparam);
    self->dialog_ = dialog;
    // No exception crosses the system's dialog code: the constructor
    // throws it instead.
    try {
      self->CreateControls();
    } catch (const std::exception&) {
      self->failed_ = true;
    }
    ::SetTimer(dialog, kShowTimer, kShowAfterMs, nullptr);
    return FALSE;  // the focus stays in the main window until it shows
  }
  auto* self =
      reinterpret_cast<ProgressDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (message == WM_TIMER && wparam == kShowTimer) {
    ::KillTimer(dialog, kShowTimer);
    ::ShowWindow(dialog, SW_SHOW);
    return TRUE;
  }
  // The button, Esc and the close button all come as IDCANCEL.
  if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {
    self->Cancel();
    return TRUE;
  }
  return FALSE;
}

void ProgressDialog::CreateControls() {
  AddControl(dialog_, kText, L"STATIC", text_, SS_LEFT | SS_NOPREFIX, 0,
             {12, 12, kWidth - 12, 28});
  HWND bar = AddControl(dialog_, kBar, PROGRESS_CLASSW, L"", 0, 0,
                        {12, 34, kWidth - 12, 52});
  ::SendMessageW(bar, PBM_SETRANGE32, 0, kPermille);
  AddControl(dialog_, IDCANCEL, L"BUTTON", L"Cancel",
             BS_PUSHBUTTON | WS_TABSTOP, 0, {kWidth - 87, 62, kWidth - 12, 85});
  PlaceOver(dialog_, owner_, kWidth, kHeight);
}

void ProgressDialog::Cancel() {
  ::KillTimer(dialog_, kShowTimer);
  ::ShowWindow(dialog_, SW_HIDE);
  if (cancel_) std::exchange(cancel_, nullptr)();
}

}  // namespace brimwald::win32
