#include "app/win32/dialog_template.h"

#include <cstring>
#include <stdexcept>

#include "app/session/dialog_place.h"

namespace brimwald::win32 {

DialogTemplate::DialogTemplate(DWORD style, const std::wstring& caption) {
  // The header, then three variable parts: no menu, the standard dialog
  // class, and the caption with its terminating zero.
  DLGTEMPLATE header = {};
  header.style = style;
  std::vector<WORD> text(sizeof header / sizeof(WORD));
  std::memcpy(text.data(), &header, sizeof header);
  text.push_back(0);  // menu
  text.push_back(0);  // class
  text.insert(text.end(), caption.begin(), caption.end());
  text.push_back(0);
  words_.resize((text.size() * sizeof(WORD) + sizeof(DWORD) - 1) /
                sizeof(DWORD));
  std::memcpy(words_.data(), text.data(), text.size() * sizeof(WORD));
}

HWND AddControl(HWND dialog, int id, const wchar_t* class_name,
                const std::wstring& text, DWORD style, DWORD ex_style,
                RECT place) {
  HWND control = ::CreateWindowExW(
      ex_style, class_name, text.c_str(), WS_CHILD | WS_VISIBLE | style,
      place.left, place.top, place.right - place.left, place.bottom - place.top,
      dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
      nullptr);
  if (control == nullptr) {
    throw std::runtime_error("cannot create a dialog's controls");
  }
  ::SendMessageW(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  return control;
}

void PlaceOver(HWND dialog, HWND owner, int width, int height) {
  RECT frame = {0, 0, width, height};
  ::AdjustWindowRectEx(
      &frame, static_cast<DWORD>(::GetWindowLongW(dialog, GWL_STYLE)), FALSE,
      static_cast<DWORD>(::GetWindowLongW(dialog, GWL_EXSTYLE)));
  const int frame_width = frame.right - frame.left;
  const int frame_height = frame.bottom - frame.top;
  RECT over = {0, 0, 0, 0};
  ::GetWindowRect(owner, &over);
  // The work area of the owner's monitor, or of the nearest one when the
  // owner lies off every screen.
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST),
                    &monitor);
  const RECT& work = monitor.rcWork;
  const ScreenRect place = PlaceDialog(
      frame_width, frame_height, {over.left, over.top, over.right, over.bottom},
      {work.left, work.top, work.right, work.bottom});
  ::SetWindowPos(dialog, nullptr, place.left, place.top, frame_width,
                 frame_height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brimwald::win32
