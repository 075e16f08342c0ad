#include "app/win32/report_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "app/win32/dialog_template.h"
#include "app/win32/window_text.h"
#include "text/wide_text.h"

namespace brimwald::win32 {
namespace {

// Wide enough for a folder's path on the summary line; the details show
// about ten failures before they scroll.
constexpr int kWidth = 480;
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kDetailLines = 10;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

// What the box shows, for as long as it is up: the tooltip keeps a pointer
// to its text.
struct Shown {
  const ExtractReport& report;
  std::wstring folder;  // "Folder: " and the folder
};

// The height of `text` in the dialog font, broken into lines `width` wide.
int TextHeight(HWND window, const std::wstring& text, int width) {
  HDC context = ::GetDC(window);
  HGDIOBJ old = ::SelectObject(context, ::GetStockObject(DEFAULT_GUI_FONT));
  RECT extent = {0, 0, width, 0};
  ::DrawTextW(context, text.empty() ? L" " : text.c_str(), -1, &extent,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  ::SelectObject(context, old);
  ::ReleaseDC(window, context);
  return extent.bottom - extent.top;
}

// The folder's whole text in a tooltip over its line, which may elide it.
void AddFolderTip(HWND dialog, HWND line, std::wstring& text) {
  HWND tip = ::CreateWindowExW(
      0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog,
      nullptr, nullptr, nullptr);
  if (tip == nullptr) return;  // the line still shows the folder
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = dialog;
  tool.uId = reinterpret_cast<UINT_PTR>(line);
  tool.lpszText = text.data();
  ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  // Wide enough for a long path, broken where the system can.
  ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 600);
}

void CreateControls(HWND dialog, HWND owner, Shown& shown) {
  const ExtractReport& report = shown.report;
  HWND icon =
      AddControl(dialog, kReportIcon, L"STATIC", L"", SS_ICON, 0,
                 {kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize});
  ::SendMessageW(icon, STM_SETICON,
                 reinterpret_cast<WPARAM>(::LoadIconW(
                     nullptr, report.warning ? IDI_WARNING : IDI_INFORMATION)),
                 0);
  const int text_left = kMargin * 2 + kIconSize;
  const std::wstring summary = Widen(report.summary);
  const int summary_height =
      TextHeight(dialog, summary, kWidth - kMargin - text_left);
  AddControl(dialog, kReportSummary, L"STATIC", summary, SS_LEFT | SS_NOPREFIX,
             0,
             {text_left, kMargin, kWidth - kMargin, kMargin + summary_height});
  // One line, never broken: its middle gives way when it is too long.
  const int folder_top = kMargin + summary_height + kMargin / 2;
  const int folder_bottom = folder_top + TextHeight(dialog, L"X", kWidth);
  HWND folder =
      AddControl(dialog, kReportFolder, L"STATIC", shown.folder,
                 SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS | SS_NOPREFIX | SS_NOTIFY,
                 0, {text_left, folder_top, kWidth - kMargin, folder_bottom});
  AddFolderTip(dialog, folder, shown.folder);
  int top = std::max(kMargin + kIconSize, folder_bottom) + kMargin;
  if (!report.details.empty()) {
    const int height = TextHeight(dialog, L"X", kWidth) * kDetailLines + 8;
    HWND details = AddControl(
        dialog, kReportDetails, L"EDIT", L"",
        ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
            WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
        WS_EX_CLIENTEDGE, {kMargin, top, kWidth - kMargin, top + height});
    // No limit: there may be thousands of failures.
    ::SendMessageW(details, EM_SETLIMITTEXT, 0, 0);
    ::SetWindowTextW(details, WithCrLf(Widen(report.details)).c_str());
    top += height + kMargin;
  }
  HWND ok = AddControl(dialog, IDOK, L"BUTTON", L"OK",
                       BS_DEFPUSHBUTTON | WS_TABSTOP, 0,
                       {kWidth - kMargin - kButtonWidth, top, kWidth - kMargin,
                        top + kButtonHeight});
  PlaceOver(dialog, owner, kWidth, top + kButtonHeight + kMargin);
  ::SetFocus(ok);
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam,
                           LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* shown = reinterpret_cast<Shown*>(lparam);
    // No exception crosses the system's dialog code: the box ends with -1,
    // which ShowExtractReport() turns into the error.
    try {
      CreateControls(dialog, ::GetWindow(dialog, GW_OWNER), *shown);
    } catch (const std::exception&) {
      ::EndDialog(dialog, -1);
    }
    return FALSE;  // the focus is on OK already
  }
  if (message == WM_COMMAND &&
      (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    ::EndDialog(dialog, LOWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowExtractReport(HWND owner, const std::wstring& title,
                       const ExtractReport& report) {
  DialogTemplate form(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                      title);
  Shown shown{report, L"Folder: " + Widen(report.folder)};
  if (::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), form.get(), owner,
                                &Procedure,
                                reinterpret_cast<LPARAM>(&shown)) == -1) {
    throw std::runtime_error("cannot show the extraction's report");
  }
}

}  // namespace brimwald::win32
