#include "app/win32/write_back_dialog.h"

#include <stdexcept>

#include "app/win32/dialog_template.h"
#include "app/win32/window_text.h"
#include "text/wide_text.h"

namespace brimwald::win32 {
namespace {

constexpr int kWidth = 520;
constexpr int kMargin = 12;
constexpr int kLineHeight = 16;
constexpr int kTextLines = 3;
constexpr int kDetailLines = 10;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
// What the dialog ends with when confirmed without, and with, a backup.
constexpr INT_PTR kConfirmed = 100;
constexpr INT_PTR kConfirmedWithBackup = 101;

void CreateControls(HWND dialog, const WriteBackPlan& plan) {
  int top = kMargin;
  AddControl(dialog, kWriteBackText, L"STATIC", Widen(plan.text),
             SS_LEFT | SS_NOPREFIX, 0,
             {kMargin, top, kWidth - kMargin, top + kLineHeight * kTextLines});
  top += kLineHeight * kTextLines + kMargin;
  if (!plan.details.empty()) {
    const int height = kLineHeight * kDetailLines;
    HWND details = AddControl(
        dialog, kWriteBackDetails, L"EDIT", L"",
        ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
            WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
        WS_EX_CLIENTEDGE, {kMargin, top, kWidth - kMargin, top + height});
    ::SendMessageW(details, EM_SETLIMITTEXT, 0, 0);
    ::SetWindowTextW(details, WithCrLf(Widen(plan.details)).c_str());
    top += height + kMargin;
  }
  const int right = kWidth - kMargin;
  HWND answer = nullptr;
  if (plan.can_confirm) {
    HWND backup =
        AddControl(dialog, kWriteBackBackup, L"BUTTON",
                   Widen(plan.backup_label), BS_AUTOCHECKBOX | WS_TABSTOP, 0,
                   {kMargin, top, right, top + kLineHeight + 4});
    ::SendMessageW(backup, BM_SETCHECK, BST_CHECKED, 0);
    top += kLineHeight + 4 + kMargin;
    answer = AddControl(dialog, IDOK, L"BUTTON", L"&Replace",
                        BS_DEFPUSHBUTTON | WS_TABSTOP, 0,
                        {right - 2 * kButtonWidth - 8, top,
                         right - kButtonWidth - 8, top + kButtonHeight});
    AddControl(dialog, IDCANCEL, L"BUTTON", L"Cancel",
               BS_PUSHBUTTON | WS_TABSTOP, 0,
               {right - kButtonWidth, top, right, top + kButtonHeight});
  } else {
    answer = AddControl(
        dialog, IDCANCEL, L"BUTTON", L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP, 0,
        {right - kButtonWidth, top, right, top + kButtonHeight});
  }
  PlaceOver(dialog, ::GetWindow(dialog, GW_OWNER), kWidth,
            top + kButtonHeight + kMargin);
  ::SetFocus(answer);
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam,
                           LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    // No exception crosses the system's dialog code.
    try {
      CreateControls(dialog, *reinterpret_cast<const WriteBackPlan*>(lparam));
    } catch (const std::exception&) {
      ::EndDialog(dialog, -1);
    }
    return FALSE;  // the focus is on the answer already
  }
  if (message == WM_COMMAND && LOWORD(wparam) == IDOK &&
      ::GetDlgItem(dialog, IDOK) != nullptr) {
    const bool backup =
        ::IsDlgButtonChecked(dialog, kWriteBackBackup) == BST_CHECKED;
    ::EndDialog(dialog, backup ? kConfirmedWithBackup : kConfirmed);
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {
    ::EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

std::optional<bool> ConfirmWriteBack(HWND owner, const std::wstring& caption,
                                     const WriteBackPlan& plan) {
  DialogTemplate form(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                      caption + L" - " + Widen(plan.title));
  INT_PTR answer =
      ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), form.get(), owner,
                                &Procedure, reinterpret_cast<LPARAM>(&plan));
  if (answer == -1) throw std::runtime_error("cannot show the confirmation");
  if (answer == kConfirmed) return false;
  if (answer == kConfirmedWithBackup) return true;
  return std::nullopt;
}

}  // namespace brimwald::win32
