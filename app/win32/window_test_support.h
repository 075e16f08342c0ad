// What the Win32 window's tests share: running the thread's messages as the
// program's loop does, picking in a context menu as a user would, and real
// input through the system's queue.

#ifndef BRIMWALD_APP_WIN32_WINDOW_TEST_SUPPORT_H_
#define BRIMWALD_APP_WIN32_WINDOW_TEST_SUPPORT_H_

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/win32/main_window.h"
#include "app/win32/window_text.h"

namespace brimwald::win32::test_support {

/// How long a test waits for an extraction to end.
inline constexpr DWORD kExtractionMs = 120000;

/// The text of a window or control.
using brimwald::TextOf;

/// Runs the thread's messages, as the program's loop does (through
/// `window`'s dialogs when it isn't null), until `done` or until
/// `timeout_ms` have passed; false then.
bool RunMessagesUntil(MainWindow* window, const std::function<bool()>& done,
                      DWORD timeout_ms = kExtractionMs);

/// Once the next context menu is up, records its entries and picks the one
/// at `position` (1 for the first) as a user would: Down that many times,
/// then Enter.
void PickInNextMenu(int position);
/// The entries of the menu that PickInNextMenu() picked in last.
const std::vector<std::wstring>& MenuEntries();

/// Sends real input through the system's queue, as a user's.
void Send(std::vector<INPUT> inputs);
INPUT Key(WORD key, bool up);
INPUT Mouse(DWORD flags);

/// Clicks the left button at `at` on the screen.
void ClickAt(POINT at);

/// Drops `files` (UTF-8) on `window` at `at`, in its client area, as the
/// shell does: WM_DROPFILES with the files and the point in an HDROP.
void DropFiles(HWND window, POINT at, const std::vector<std::string>& files);

/// Once the next dialog captioned `caption` is up, presses Enter on its
/// default button as a user would.
void PressEnterInNextDialog(const std::wstring& caption);

}  // namespace brimwald::win32::test_support

#endif  // BRIMWALD_APP_WIN32_WINDOW_TEST_SUPPORT_H_
