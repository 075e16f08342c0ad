#include "app/win32/progress_dialog.h"

#include <commctrl.h>

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
  Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, title,
         "progress dialog");
}

void ProgressDialog::SetValue(int permille) {
  ::SendDlgItemMessageW(dialog_, kBar, PBM_SETPOS,
                        static_cast<WPARAM>(permille), 0);
}

INT_PTR ProgressDialog::Handle(UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_TIMER && wparam == kShowTimer) {
    ::KillTimer(dialog_, kShowTimer);
    ::ShowWindow(dialog_, SW_SHOW);
    return TRUE;
  }
  // The button, Esc and the close button all come as IDCANCEL.
  if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {
    Cancel();
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
  // The focus stays in the main window until the dialog shows.
  ::SetTimer(dialog_, kShowTimer, kShowAfterMs, nullptr);
}

void ProgressDialog::Cancel() {
  ::KillTimer(dialog_, kShowTimer);
  ::ShowWindow(dialog_, SW_HIDE);
  if (cancel_) std::exchange(cancel_, nullptr)();
}

}  // namespace brimwald::win32
