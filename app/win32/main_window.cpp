#include "app/win32/main_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <stdexcept>
#include <utility>

#include "app/win32/report_dialog.h"
#include "app/win32/window_text.h"
#include "app/win32/write_back_dialog.h"
#include "text/wide_text.h"

namespace brimwald::win32 {
namespace {

constexpr wchar_t kClassName[] = L"BrimwaldRipperForm1";
constexpr int kClientWidth = 572;
constexpr int kClientHeight = 265;
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct Design {
  ControlId id;
  const wchar_t* class_name;
  const wchar_t* text;
  DWORD style;
  DWORD ex_style;
  int left, top, width, height;
};

// The design's positions and sizes, twips / 15: pixels at 96 dots per inch.
// The labels start at their designed size and then size themselves to
// their text; Line1 runs from (304, 8) to (304, 248).
constexpr Design kDesign[] = {
    {kLabel1, L"STATIC", L"File Name (*.str):", SS_LEFT | SS_NOPREFIX, 0, 8, 8,
     77, 13},
    {kTxtFileName, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
     8, 24, 289, 19},
    {kFile1, L"LISTBOX", L"",
     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, 8, 48, 289, 171},
    {kCmdRip, L"BUTTON", L"RIP", BS_PUSHBUTTON | WS_TABSTOP, 0, 8, 224, 289,
     33},
    {kLblInfo, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 312, 8, 3, 13},
    {kTxtName, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 312,
     88, 257, 19},
    {kLine1, L"STATIC", L"", SS_BLACKRECT, 0, 304, 8, 1, 241},
    // Not in the design: room the right column leaves below txtName.
    {kLblStatus, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 312, 115, 257, 39},
};

void RegisterClassOnce(HINSTANCE instance, WNDPROC procedure) {
  // The progress bar and the tooltip.
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSEXW form = {};
  form.cbSize = sizeof form;
  if (::GetClassInfoExW(instance, kClassName, &form)) return;
  form.lpfnWndProc = procedure;
  form.hInstance = instance;
  form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kClassName;
  if (!::RegisterClassExW(&form)) {
    throw std::runtime_error("cannot register the window class");
  }
}

}  // namespace

std::wstring BytesAsLatin1(const std::string& bytes) {
  std::wstring text;
  for (char byte : bytes)
    text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
  return text;
}

MainWindow::MainWindow(HINSTANCE instance, std::string directory)
    : session_(std::move(directory)),
      font_(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))),
      report_error_([this](const std::wstring& description) {
        ::MessageBoxW(window_, description.c_str(), kCaption,
                      MB_OK | MB_ICONERROR);
      }),
      beep_([] { ::MessageBeep(MB_OK); }),
      report_extract_([this](const ExtractReport& report) {
        try {
          ShowExtractReport(window_, kCaption, report);
        } catch (const std::exception& error) {
          report_error_(Widen(error.what()));
        }
      }),
      ask_([this](const std::wstring& question) {
        return ::MessageBoxW(window_, question.c_str(), kCaption,
                             MB_YESNO | MB_ICONQUESTION) == IDYES;
      }),
      confirm_([this](const WriteBackPlan& plan) -> std::optional<bool> {
        try {
          return ConfirmWriteBack(window_, kCaption, plan);
        } catch (const std::exception& error) {
          report_error_(Widen(error.what()));
          return std::nullopt;
        }
      }),
      choose_file_([this](const std::string& folder) {
        std::wstring file(MAX_PATH * 8, L'\0');
        const std::wstring start = NativePath(folder);
        OPENFILENAMEW open = {};
        open.lStructSize = sizeof open;
        open.hwndOwner = window_;
        open.lpstrFilter = L"Streams (*.qvstr)\0*.qvstr\0";
        open.lpstrFile = file.data();
        open.nMaxFile = static_cast<DWORD>(file.size());
        open.lpstrInitialDir = start.c_str();
        open.lpstrTitle = L"Replace an entry";
        open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (!::GetOpenFileNameW(&open)) return std::string();
        file.resize(std::wcslen(file.c_str()));
        return Narrow(file);
      }),
      closed_([] { ::PostQuitMessage(0); }) {
  RegisterClassOnce(instance, &Procedure);
  RECT frame = {0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  window_ = ::CreateWindowExW(
      0, kClassName, kCaption, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
      instance, this);
  if (window_ == nullptr) throw std::runtime_error("cannot create the window");
  CreateControls();
  AddFolderTip(instance);
  FillFileList();
  ::DragAcceptFiles(window_, TRUE);
  ::ShowWindow(window_, SW_SHOWDEFAULT);
}

MainWindow::~MainWindow() {
  worker_.reset();
  progress_.reset();
  entries_.reset();
  if (window_ != nullptr) {
    closed_ = nullptr;
    ::DestroyWindow(window_);
  }
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wparam,
                                       LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self =
      reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    if (self->closed_) self->closed_();
    return 0;
  }
  self->window_ = window;
  return self->Handle(message, wparam, lparam);
}

bool MainWindow::TakeDialogMessage(MSG& message) {
  if (progress_ && ::IsDialogMessageW(progress_->handle(), &message)) {
    return true;
  }
  if (entries_ && ::IsDialogMessageW(entries_->handle(), &message)) {
    return true;
  }
  return window_ != nullptr && ::IsDialogMessageW(window_, &message);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  // The user's events: a choice in File1, a click on cmdRIP, the list's
  // context menu, and closing the window; then the worker's messages.
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == kFile1 && HIWORD(wparam) == LBN_SELCHANGE) {
        Choose();
        return 0;
      }
      if (LOWORD(wparam) == kCmdRip && HIWORD(wparam) == BN_CLICKED) {
        Rip();
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wparam) == control(kFile1)) {
        ShowListMenu(lparam);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (session_.busy()) {
        AskToStop();
        return 0;
      }
      break;
    case WM_DROPFILES:
      Dropped(reinterpret_cast<HDROP>(wparam));
      return 0;
    case JobWorker::kProgressMessage:
      if (progress_) progress_->SetValue(static_cast<int>(wparam));
      return 0;
    case JobWorker::kDoneMessage:
      FinishJob();
      return 0;
    case kEntriesClosedMessage:
      CloseEntries(reinterpret_cast<HWND>(lparam));
      return 0;
  }
  return ::DefWindowProcW(window_, message, wparam, lparam);
}

void MainWindow::CreateControls() {
  for (const Design& design : kDesign) {
    HWND control = ::CreateWindowExW(
        design.ex_style, design.class_name, design.text,
        WS_CHILD | WS_VISIBLE | design.style, design.left, design.top,
        design.width, design.height, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), nullptr,
        nullptr);
    if (control == nullptr) {
      throw std::runtime_error("cannot create the window's controls");
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  SetLabel(kLabel1, TextOf(control(kLabel1)));
}

void MainWindow::AddFolderTip(HINSTANCE instance) {
  folder_tip_ = ::CreateWindowExW(
      0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
      nullptr, instance, nullptr);
  if (folder_tip_ == nullptr) {
    throw std::runtime_error("cannot create the list's tooltip");
  }
  folder_text_ = Widen(session_.FolderText());
  TTTOOLINFOW tool = {};
  // The size every version of the common controls takes.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control(kFile1));
  tool.lpszText = folder_text_.data();
  ::SendMessageW(folder_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::FillFileList() {
  ListOutcome listed = session_.ListContainers();
  names_ = std::move(listed.names);
  for (const std::string& name : names_) {
    ::SendMessageW(control(kFile1), LB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(Widen(name).c_str()));
  }
  if (listed.failed()) report_error_(Widen(listed.error));
}

void MainWindow::Choose() {
  LRESULT index = ::SendMessageW(control(kFile1), LB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= names_.size()) return;
  const std::string& name = names_[static_cast<size_t>(index)];
  ::SetWindowTextW(control(kTxtFileName), Widen(name).c_str());
  ChooseOutcome chosen = session_.Choose(name);
  // Empty after an error, so that the label never shows another file's
  // result beside this file's name.
  SetLabel(kLblInfo, Widen(chosen.label));
  if (chosen.failed()) report_error_(Widen(chosen.error));
}

void MainWindow::Rip() {
  HCURSOR cursor = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  RipOutcome ripped = session_.Rip();
  ::SetCursor(cursor);
  if (ripped.last_name) {
    ::SetWindowTextW(control(kTxtName),
                     BytesAsLatin1(*ripped.last_name).c_str());
  }
  // Under the name box: which script the rip wrote, or nothing after an
  // error.
  ::SetWindowTextW(control(kLblStatus), Widen(ripped.status).c_str());
  if (ripped.beep) beep_();
  if (ripped.failed()) report_error_(Widen(ripped.error));
}

void MainWindow::ShowListMenu(LPARAM at) {
  HWND list = control(kFile1);
  POINT point = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (point.x == -1 && point.y == -1) {
    // The menu key: the menu opens under the chosen entry, or at the
    // list's corner, and acts on the current choice.
    point = {0, 0};
    LRESULT index = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    RECT item;
    if (index >= 0 &&
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
      point = {item.left, item.bottom};
    }
    ::ClientToScreen(list, &point);
  } else {
    ChooseEntryAt(point);
  }
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuW(menu, MF_STRING, kExtractCommand, L"Extract");
  ::AppendMenuW(menu, MF_STRING, kEntriesCommand, L"Entries\u2026");
  ::AppendMenuW(menu, MF_STRING, kUpdateCommand, L"&Update from EXT_\u2026");
  ::AppendMenuW(menu, MF_STRING, kAllEntriesCommand,
                L"Entries of all containers\u2026");
  // The command runs once the menu has closed, outside its loop.
  UINT chosen = static_cast<UINT>(
      ::TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                         point.x, point.y, window_, nullptr));
  ::DestroyMenu(menu);
  if (chosen == kExtractCommand) ExtractSelection();
  if (chosen == kEntriesCommand) OpenEntries();
  if (chosen == kUpdateCommand) UpdateSelection();
  if (chosen == kAllEntriesCommand) OpenAllEntries();
}

void MainWindow::ChooseEntryAt(POINT on_screen) {
  // A right press on an entry chooses it, as a left click would; on the
  // chosen entry or below the last it changes nothing.
  HWND list = control(kFile1);
  ::ScreenToClient(list, &on_screen);
  LRESULT hit = ::SendMessageW(list, LB_ITEMFROMPOINT, 0,
                               MAKELPARAM(on_screen.x, on_screen.y));
  if (HIWORD(hit) != 0) return;
  const LRESULT index = LOWORD(hit);
  if (index == ::SendMessageW(list, LB_GETCURSEL, 0, 0)) return;
  ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  Choose();
}

void MainWindow::OpenEntries() {
  // Its entries go with it.
  entries_.reset();
  ShowEntries(session_.OpenEntries());
}

void MainWindow::OpenAllEntries() {
  entries_.reset();
  ShowEntries(session_.OpenAllEntries());
}

void MainWindow::ShowEntries(const EntriesOutcome& opened) {
  if (opened.failed()) {
    report_error_(Widen(opened.error));
    return;
  }
  EntriesDialog::Requests requests;
  requests.extract_selected = [this](const std::vector<int32_t>& rows) {
    StartExtraction(session_.StartExtractEntries(rows));
  };
  requests.extract_all = [this] {
    StartExtraction(session_.StartExtractAllEntries());
  };
  requests.replace = [this](int32_t row, const std::string& file) {
    ReplaceEntry(row, file);
  };
  // Destroyed from the window's own message, never inside the dialog's.
  requests.closed = [this] {
    ::PostMessageW(window_, kEntriesClosedMessage, 0,
                   reinterpret_cast<LPARAM>(entries_->handle()));
  };
  try {
    entries_ = std::make_unique<EntriesDialog>(
        window_, *session_.entries(), Widen(opened.title), std::move(requests));
  } catch (const std::exception& error) {
    session_.CloseEntries();
    report_error_(Widen(error.what()));
    return;
  }
  entries_->SetBusy(session_.busy());
}

void MainWindow::CloseEntries(HWND dialog) {
  // A dialog opened since then stays.
  if (!entries_ || entries_->handle() != dialog) return;
  entries_.reset();
  session_.CloseEntries();
}

void MainWindow::ExtractSelection() {
  StartExtraction(session_.StartExtract());
}

void MainWindow::StartExtraction(StartOutcome started) {
  if (started.failed()) {
    report_error_(Widen(started.error));
    return;
  }
  StartWorker(WindowJob(std::move(started.job)), started.progress_text);
}

void MainWindow::UpdateSelection() {
  WriteBackPlan plan = session_.PlanUpdate();
  if (plan.failed()) {
    report_error_(Widen(plan.error));
    return;
  }
  std::optional<bool> backup = confirm_(plan);
  if (backup) StartWriteBack(session_.StartUpdate(*backup));
}

void MainWindow::ReplaceEntry(int32_t row, const std::string& file) {
  const std::string chosen =
      file.empty() ? choose_file_(session_.ReplaceFolder(row)) : file;
  if (chosen.empty()) return;
  WriteBackPlan plan = session_.PlanReplace(row, chosen);
  if (plan.failed()) {
    report_error_(Widen(plan.error));
    return;
  }
  std::optional<bool> backup = confirm_(plan);
  if (backup) StartWriteBack(session_.StartReplace(row, chosen, *backup));
}

void MainWindow::StartWriteBack(WriteBackStartOutcome started) {
  if (started.failed()) {
    report_error_(Widen(started.error));
    return;
  }
  StartWorker(WindowJob(std::move(started.job)), started.progress_text);
}

void MainWindow::StartWorker(WindowJob job, const std::string& progress_text) {
  try {
    progress_ = std::make_unique<ProgressDialog>(window_, kCaption,
                                                 Widen(progress_text), [this] {
                                                   if (worker_)
                                                     worker_->Cancel();
                                                 });
    worker_ = std::make_unique<JobWorker>(std::move(job), window_);
  } catch (const std::exception& error) {
    progress_.reset();
    session_.FinishJob();
    report_error_(Widen(error.what()));
    return;
  }
  SetBusy(true);
}

void MainWindow::FinishJob() {
  if (!worker_) return;
  JobEnd outcome = worker_->Finish();
  worker_.reset();
  progress_.reset();
  ActionOutcome finished = session_.FinishJob();
  if (entries_) entries_->Reload();
  SetBusy(false);
  if (close_when_stopped_) {
    ::DestroyWindow(window_);
    return;
  }
  if (outcome.failed()) {
    report_error_(Widen(outcome.error));
  } else {
    report_extract_(outcome.report);
  }
  if (finished.failed()) report_error_(Widen(finished.error));
}

void MainWindow::Dropped(HDROP drop) {
  std::vector<std::string> files = DroppedFiles(drop);
  ::DragFinish(drop);
  if (session_.busy() || !WindowSession::TakesDrop(files)) return;
  DropOutcome dropped = session_.Drop(files.front());
  if (dropped.failed()) {
    report_error_(Widen(dropped.error));
    return;
  }
  folder_text_ = Widen(session_.FolderText());
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control(kFile1));
  tool.lpszText = folder_text_.data();
  ::SendMessageW(folder_tip_, TTM_UPDATETIPTEXTW, 0,
                 reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(control(kFile1), LB_RESETCONTENT, 0, 0);
  FillFileList();
  for (size_t index = 0; index < names_.size(); ++index) {
    if (names_[index] != dropped.chosen) continue;
    ::SendMessageW(control(kFile1), LB_SETCURSEL, index, 0);
    Choose();
  }
}

void MainWindow::SetBusy(bool busy) {
  // A disabled control takes no input, so the focus leaves it for the
  // window and comes back afterwards.
  HWND list = control(kFile1);
  HWND rip = control(kCmdRip);
  if (busy) {
    HWND focus = ::GetFocus();
    focus_before_ = focus == list || focus == rip ? focus : nullptr;
    if (focus_before_ != nullptr) ::SetFocus(window_);
  }
  ::EnableWindow(list, !busy);
  ::EnableWindow(rip, !busy);
  if (entries_) entries_->SetBusy(busy);
  if (!busy && focus_before_ != nullptr) {
    ::SetFocus(std::exchange(focus_before_, nullptr));
  }
}

void MainWindow::AskToStop() {
  if (close_when_stopped_) return;
  if (ask_(Widen(session_.CloseQuestion()))) {
    close_when_stopped_ = true;
    if (worker_) worker_->Cancel();
  }
}

void MainWindow::SetLabel(ControlId id, const std::wstring& text) {
  HWND label = control(id);
  ::SetWindowTextW(label, text.c_str());
  // An empty label keeps its designed size, as the design has it.
  SIZE size = {3, 13};
  if (!text.empty()) {
    HDC context = ::GetDC(label);
    HGDIOBJ old = ::SelectObject(context, font_);
    RECT extent = {0, 0, 0, 0};
    ::DrawTextW(context, text.c_str(), -1, &extent, DT_CALCRECT | DT_NOPREFIX);
    ::SelectObject(context, old);
    ::ReleaseDC(label, context);
    size = {extent.right - extent.left, extent.bottom - extent.top};
  }
  ::SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace brimwald::win32
