// The text of a window or control, as the window shows it.

#ifndef BRIMWALD_APP_WIN32_WINDOW_TEXT_H_
#define BRIMWALD_APP_WIN32_WINDOW_TEXT_H_

#include <windows.h>

#include <string>

namespace brimwald {

/// The whole text of `control` (a caption, a box's content).
std::wstring TextOf(HWND control);

}  // namespace brimwald

#endif  // BRIMWALD_APP_WIN32_WINDOW_TEXT_H_
