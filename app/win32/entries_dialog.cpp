#include "app/win32/entries_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "app/session/window_session.h"
#include "app/win32/dialog_template.h"
#include "app/win32/window_text.h"
#include "text/wide_text.h"

namespace brimwald::win32 {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 420;
constexpr int kMargin = 12;
constexpr int kButtonHeight = 23;
// Starting widths of the columns, in pixels, unless a heading needs more.
int ColumnWidth(EntryColumn column) {
  switch (column) {
    case EntryColumn::kIndex:
      return 60;
    case EntryColumn::kName:
      return 220;
    case EntryColumn::kProblems:
      return 130;
    case EntryColumn::kContainer:
      return 110;
    default:
      return 80;
  }
}
// Room beside a heading's text: the header's margins and its sort arrow.
constexpr int kHeadingMargin = 12;
constexpr int kSortArrowWidth = 16;

// Entry names come from the container in no known code page: each byte
// shows as the character of its number, as the main window shows them.
std::wstring Latin1(const std::string& bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (char byte : bytes) {
    text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
  }
  return text;
}

bool IsNumber(EntryColumn kind) {
  return kind == EntryColumn::kIndex || kind == EntryColumn::kHeaderSize ||
         kind == EntryColumn::kBodySize;
}

// The width of `text` in the font of `window`, in bold: wide enough for
// either weight, whichever the header draws.
int BoldWidth(HWND window, const std::wstring& text) {
  auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
  LOGFONTW look = {};
  ::GetObjectW(font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT),
               sizeof look, &look);
  look.lfWeight = FW_BOLD;
  HFONT bold = ::CreateFontIndirectW(&look);
  HDC context = ::GetDC(window);
  HGDIOBJ old = ::SelectObject(context, bold);
  SIZE extent = {0, 0};
  ::GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()),
                          &extent);
  ::SelectObject(context, old);
  ::ReleaseDC(window, context);
  ::DeleteObject(bold);
  return extent.cx;
}

}  // namespace

EntriesDialog::EntriesDialog(HWND owner, EntriesModel& entries,
                             const std::wstring& title, Requests requests)
    : owner_(owner), entries_(entries), requests_(std::move(requests)) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  Create(owner,
         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME,
         title, "Entries dialog");
  ::ShowWindow(dialog_, SW_SHOW);
}

INT_PTR EntriesDialog::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      return Command(LOWORD(wparam), HIWORD(wparam));
    case WM_DROPFILES:
      Dropped(reinterpret_cast<HDROP>(wparam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->idFrom != kTable) return FALSE;
      if (header->code == LVN_ODFINDITEMW) {
        // Typing in the table finds nothing, rather than the first row.
        ::SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, -1);
        return TRUE;
      }
      Notify(*header);
      return TRUE;
    }
  }
  return FALSE;
}

bool EntriesDialog::Command(WORD id, WORD code) {
  switch (id) {
    case kFilter:
      if (code == EN_CHANGE) ApplyFilter();
      return true;
    case kExtractSelected:
      if (code == BN_CLICKED && requests_.extract_selected) {
        std::vector<int32_t> rows = SelectedRows();
        if (!rows.empty()) requests_.extract_selected(rows);
      }
      return true;
    case kExtractAll:
      if (code == BN_CLICKED && requests_.extract_all) requests_.extract_all();
      return true;
    case kReplace:
      if (code == BN_CLICKED && requests_.replace) {
        std::vector<int32_t> rows = SelectedRows();
        if (rows.size() == 1) requests_.replace(rows.front(), "");
      }
      return true;
    case IDOK:  // Enter in the filter box: nothing to confirm
      return true;
    case IDCANCEL:  // Close, Esc and the close button
      Close();
      return true;
  }
  return false;
}

void EntriesDialog::Notify(const NMHDR& header) {
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item =
          reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
      if ((item.mask & LVIF_TEXT) == 0 || item.cchTextMax <= 0) return;
      if (item.iItem < 0 || item.iItem >= entries_.rows() ||
          item.iSubItem < 0 || item.iSubItem >= entries_.columns()) {
        return;
      }
      std::wstring text =
          Latin1(entries_.Cell(item.iItem, entries_.ColumnAt(item.iSubItem)));
      // The view's buffer is all there is; a longer text is cut.
      size_t length =
          std::min(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
      text.copy(item.pszText, length);
      item.pszText[length] = L'\0';
      return;
    }
    case LVN_COLUMNCLICK:
      SortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      return;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
      UpdateButtons();
      return;
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == 'A' &&
          ::GetKeyState(VK_CONTROL) < 0) {
        SelectAll();
      }
      return;
  }
}

void EntriesDialog::Dropped(HDROP drop) {
  std::vector<std::string> files = DroppedFiles(drop);
  LVHITTESTINFO hit = {};
  ::DragQueryPoint(drop, &hit.pt);
  ::DragFinish(drop);
  ::MapWindowPoints(dialog_, control(kTable), &hit.pt, 1);
  const auto row = static_cast<int32_t>(::SendMessageW(
      control(kTable), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (busy_ || row < 0 || !WindowSession::TakesEntryDrop(files) ||
      !requests_.replace) {
    return;
  }
  requests_.replace(row, files.front());
}

void EntriesDialog::Reload() {
  ShowRows();
  ShowStatus();
}

void EntriesDialog::CreateControls() {
  const int right = kWidth - kMargin;
  AddControl(dialog_, kFilterLabel, L"STATIC", L"&Filter:",
             SS_LEFT | SS_CENTERIMAGE, 0, {kMargin, 11, 60, 32});
  HWND filter =
      AddControl(dialog_, kFilter, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP,
                 WS_EX_CLIENTEDGE, {60, 11, right, 32});
  ::SendMessageW(
      filter, EM_SETCUEBANNER, TRUE,
      reinterpret_cast<LPARAM>(L"Part of a name, or a pattern: sfx\\*"));
  HWND table =
      AddControl(dialog_, kTable, WC_LISTVIEWW, L"",
                 LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP,
                 WS_EX_CLIENTEDGE, {kMargin, 40, right, kHeight - 76});
  ::SendMessageW(table, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  AddColumns();
  AddControl(dialog_, kStatus, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0,
             {kMargin, kHeight - 70, right, kHeight - 42});
  const int top = kHeight - kMargin - kButtonHeight;
  const int bottom = kHeight - kMargin;
  AddControl(dialog_, kReplace, L"BUTTON", L"&Replace\u2026",
             BS_PUSHBUTTON | WS_TABSTOP, 0,
             {right - 75 - 8 - 90 - 8 - 110 - 8 - 80, top,
              right - 75 - 8 - 90 - 8 - 110 - 8, bottom});
  AddControl(
      dialog_, kExtractSelected, L"BUTTON", L"Extract selected",
      BS_PUSHBUTTON | WS_TABSTOP, 0,
      {right - 75 - 8 - 90 - 8 - 110, top, right - 75 - 8 - 90 - 8, bottom});
  AddControl(dialog_, kExtractAll, L"BUTTON", L"Extract all",
             BS_PUSHBUTTON | WS_TABSTOP, 0,
             {right - 75 - 8 - 90, top, right - 75 - 8, bottom});
  AddControl(dialog_, IDCANCEL, L"BUTTON", L"Close", BS_PUSHBUTTON | WS_TABSTOP,
             0, {right - 75, top, right, bottom});
  PlaceOver(dialog_, owner_, kWidth, kHeight);
  ShowRows();
  ShowSortArrow();
  ShowStatus();
  UpdateButtons();
  ::DragAcceptFiles(dialog_, TRUE);
  ::SetFocus(filter);
}

void EntriesDialog::AddColumns() {
  HWND table = control(kTable);
  // The first column a list-view is given is always left-aligned: a
  // placeholder takes that place, and goes once the others are in, so that
  // the index aligns right as the other numbers do.
  LVCOLUMNW placeholder = {};
  placeholder.mask = LVCF_WIDTH;
  ::SendMessageW(table, LVM_INSERTCOLUMNW, 0,
                 reinterpret_cast<LPARAM>(&placeholder));
  for (int column = 0; column < entries_.columns(); ++column) {
    const EntryColumn kind = entries_.ColumnAt(column);
    std::wstring heading = Latin1(HeadingOf(kind));
    LVCOLUMNW entry = {};
    entry.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    entry.fmt = IsNumber(kind) ? LVCFMT_RIGHT : LVCFMT_LEFT;
    entry.cx =
        std::max(ColumnWidth(kind), BoldWidth(table, heading) +
                                        2 * kHeadingMargin + kSortArrowWidth);
    entry.pszText = heading.data();
    entry.iSubItem = column;
    if (::SendMessageW(table, LVM_INSERTCOLUMNW,
                       static_cast<WPARAM>(column + 1),
                       reinterpret_cast<LPARAM>(&entry)) < 0) {
      throw std::runtime_error("cannot create the Entries dialog's columns");
    }
  }
  ::SendMessageW(table, LVM_DELETECOLUMN, 0, 0);
}

void EntriesDialog::SetBusy(bool busy) {
  busy_ = busy;
  UpdateButtons();
}

std::vector<int32_t> EntriesDialog::SelectedRows() const {
  std::vector<int32_t> rows;
  HWND table = control(kTable);
  for (LRESULT row = ::SendMessageW(table, LVM_GETNEXTITEM,
                                    static_cast<WPARAM>(-1), LVNI_SELECTED);
       row >= 0;
       row = ::SendMessageW(table, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                            LVNI_SELECTED)) {
    rows.push_back(static_cast<int32_t>(row));
  }
  return rows;
}

void EntriesDialog::ApplyFilter() {
  std::wstring text = TextOf(control(kFilter));
  entries_.SetFilter(std::u16string(text.begin(), text.end()));
  ShowRows();
  ShowStatus();
}

void EntriesDialog::SortBy(int column) {
  if (column < 0 || column >= entries_.columns()) return;
  const EntryColumn kind = entries_.ColumnAt(column);
  // A heading sorts its column ascending first, then each way in turn.
  const bool descending =
      kind == entries_.sort_column() ? !entries_.descending() : false;
  entries_.Sort(kind, descending);
  ShowRows();
  ShowSortArrow();
}

void EntriesDialog::ShowRows() {
  HWND table = control(kTable);
  LVITEMW none = {};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(table, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&none));
  ::SendMessageW(table, LVM_SETITEMCOUNT, static_cast<WPARAM>(entries_.rows()),
                 0);
  if (entries_.rows() > 0) ::SendMessageW(table, LVM_ENSUREVISIBLE, 0, FALSE);
  ::InvalidateRect(table, nullptr, TRUE);
  UpdateButtons();
}

void EntriesDialog::ShowSortArrow() {
  auto header = reinterpret_cast<HWND>(
      ::SendMessageW(control(kTable), LVM_GETHEADER, 0, 0));
  for (int column = 0; column < entries_.columns(); ++column) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (entries_.ColumnAt(column) == entries_.sort_column()) {
      item.fmt |= entries_.descending() ? HDF_SORTDOWN : HDF_SORTUP;
    }
    ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&item));
  }
}

void EntriesDialog::ShowStatus() {
  std::wstring text = Latin1(entries_.StatusText());
  if (!entries_.table_problem().empty()) {
    text += L"\r\n" + Widen(entries_.table_problem());
  }
  ::SetWindowTextW(control(kStatus), text.c_str());
}

void EntriesDialog::UpdateButtons() {
  const bool selected =
      ::SendMessageW(control(kTable), LVM_GETSELECTEDCOUNT, 0, 0) > 0;
  HWND focus = ::GetFocus();
  ::EnableWindow(control(kExtractSelected), !busy_ && selected);
  ::EnableWindow(control(kExtractAll), !busy_);
  ::EnableWindow(control(kReplace),
                 !busy_ && ::SendMessageW(control(kTable), LVM_GETSELECTEDCOUNT,
                                          0, 0) == 1);
  // A button that has just been disabled can't keep the focus.
  if ((focus == control(kExtractSelected) || focus == control(kExtractAll) ||
       focus == control(kReplace)) &&
      !::IsWindowEnabled(focus)) {
    ::SendMessageW(dialog_, WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(control(kTable)), TRUE);
  }
}

void EntriesDialog::SelectAll() {
  LVITEMW all = {};
  all.state = LVIS_SELECTED;
  all.stateMask = LVIS_SELECTED;
  ::SendMessageW(control(kTable), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&all));
  UpdateButtons();
}

void EntriesDialog::Close() {
  ::ShowWindow(dialog_, SW_HIDE);
  if (requests_.closed) requests_.closed();
}

}  // namespace brimwald::win32
