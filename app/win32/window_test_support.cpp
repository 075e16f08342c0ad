#include "app/win32/window_test_support.h"

#include <shlobj.h>

#include <algorithm>

#include "app/win32/window_text.h"
#include "text/wide_text.h"

namespace brimwald::win32::test_support {
namespace {

std::vector<std::wstring> menu_entries;
int menu_position = 1;
std::wstring dialog_caption;

void CALLBACK PressEnter(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = ::FindWindowW(L"#32770", dialog_caption.c_str());
  if (dialog == nullptr || !::IsWindowVisible(dialog)) return;
  ::KillTimer(nullptr, timer);
  HWND focus = ::GetFocus();
  ::PostMessageW(focus != nullptr ? focus : dialog, WM_KEYDOWN, VK_RETURN, 0);
}

void CALLBACK PickMenuEntry(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = ::FindWindowW(L"#32768", nullptr);
  if (menu == nullptr || !::IsWindowVisible(menu)) return;
  ::KillTimer(nullptr, timer);
  auto* items =
      reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
  for (int i = 0; i < ::GetMenuItemCount(items); ++i) {
    wchar_t text[64] = L"";
    ::GetMenuStringW(items, static_cast<UINT>(i), text,
                     static_cast<int>(std::size(text)), MF_BYPOSITION);
    menu_entries.push_back(text);
  }
  for (int i = 0; i < menu_position; ++i) {
    ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  }
  ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

}  // namespace

bool RunMessagesUntil(MainWindow* window, const std::function<bool()>& done,
                      DWORD timeout_ms) {
  const ULONGLONG start = ::GetTickCount64();
  while (!done()) {
    if (::GetTickCount64() - start > timeout_ms) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (window != nullptr && window->TakeDialogMessage(message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PickInNextMenu(int position) {
  menu_entries.clear();
  menu_position = position;
  ::SetTimer(nullptr, 0, 10, &PickMenuEntry);
}

const std::vector<std::wstring>& MenuEntries() { return menu_entries; }

void Send(std::vector<INPUT> inputs) {
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Key(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT Mouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

void ClickAt(POINT at) {
  ::SetCursorPos(at.x, at.y);
  Send({Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)});
}

void DropFiles(HWND window, POINT at, const std::vector<std::string>& files) {
  std::wstring names;
  for (const std::string& file : files) names += Widen(file) + L'\0';
  names += L'\0';
  const size_t size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  HGLOBAL memory = ::GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = at;
  drop->fWide = TRUE;
  std::copy(names.begin(), names.end(),
            reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) +
                                       sizeof(DROPFILES)));
  ::GlobalUnlock(memory);
  // The window's DragFinish() frees it.
  ::SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

void PressEnterInNextDialog(const std::wstring& caption) {
  dialog_caption = caption;
  ::SetTimer(nullptr, 0, 10, &PressEnter);
}

}  // namespace brimwald::win32::test_support
