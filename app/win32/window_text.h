// The text of a window or control, as the window shows it and as it hands
// it over: an edit control's lines, the paths of dropped files.

#ifndef BRIMWALD_APP_WIN32_WINDOW_TEXT_H_
#define BRIMWALD_APP_WIN32_WINDOW_TEXT_H_

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

namespace brimwald {

/// The whole text of `control` (a caption, a box's content).
std::wstring TextOf(HWND control);

/// `text` with CR LF between its lines, as an edit control wants them.
std::wstring WithCrLf(const std::wstring& text);

/// The paths (UTF-8) of the files dropped in `drop`, which stays the
/// caller's to finish.
std::vector<std::string> DroppedFiles(HDROP drop);

}  // namespace brimwald

#endif  // BRIMWALD_APP_WIN32_WINDOW_TEXT_H_
