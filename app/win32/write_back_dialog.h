// The confirmation before putting streams back, in the Win32 window, as in
// the Qt window: the plan's text, what would be replaced and every finding
// in a scrollable area, and the "Keep a backup" check box, on by default.
// Enter confirms, Escape cancels, Tab moves between them. A plan with
// nothing to confirm only tells its text, with one button.

#ifndef BRIMWALD_APP_WIN32_WRITE_BACK_DIALOG_H_
#define BRIMWALD_APP_WIN32_WRITE_BACK_DIALOG_H_

#include <windows.h>

#include <optional>
#include <string>

#include "app/session/window_session.h"

namespace brimwald::win32 {

/// The dialog's controls, for tests; the details are absent when the plan
/// has none, the check box when there is nothing to confirm.
enum WriteBackControlId : int {
  kWriteBackText = 601,
  kWriteBackDetails,
  kWriteBackBackup,
};

/// Shows `plan` modal over `owner`, captioned `caption`, until the user
/// answers: whether to keep a backup once confirmed, nullopt when
/// cancelled or when there was nothing to confirm. Throws
/// std::runtime_error when Windows can't show it.
std::optional<bool> ConfirmWriteBack(HWND owner, const std::wstring& caption,
                                     const WriteBackPlan& plan);

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_WRITE_BACK_DIALOG_H_
