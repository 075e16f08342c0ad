// The box that ends an extraction in the Win32 window, as in the Qt window:
// an icon (a warning when an entry failed, else information), the one-line
// summary, the folder on a line of its own (its middle elided when it is too
// long, whole in its tooltip), and, when entries failed, every failure in a
// scrollable area below it.

#ifndef BRIMWALD_APP_WIN32_REPORT_DIALOG_H_
#define BRIMWALD_APP_WIN32_REPORT_DIALOG_H_

#include <windows.h>

#include <string>

#include "app/session/extract_report.h"

namespace brimwald::win32 {

/// The box's controls, for tests; the details are absent without failures.
enum ReportControlId : int {
  kReportIcon = 401,
  kReportSummary,
  kReportDetails,
  kReportFolder,
};

/// Shows `report` in a box titled `title`, modal over `owner`, until the
/// user closes it. Throws std::runtime_error when Windows can't show it.
void ShowExtractReport(HWND owner, const std::wstring& title,
                       const ExtractReport& report);

}  // namespace brimwald::win32

#endif  // BRIMWALD_APP_WIN32_REPORT_DIALOG_H_
