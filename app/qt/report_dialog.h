// The box that ends an extraction in the Qt window: an icon (a warning when
// an entry failed, else information), the one-line summary, the folder on
// a line of its own (its middle elided when it is too long, whole in its
// tooltip), and, when entries failed, every failure in a scrollable area
// below it.

#ifndef BRIMWALD_APP_QT_REPORT_DIALOG_H_
#define BRIMWALD_APP_QT_REPORT_DIALOG_H_

#include <QDialog>
#include <QString>

#include "app/session/extract_report.h"

namespace brimwald {

class ReportDialog : public QDialog {
  Q_OBJECT

 public:
  /// The box for `report`, titled `title`. Its children are named for
  /// tests: "icon", "summary", "folder", "details" (absent without
  /// failures).
  ReportDialog(const ExtractReport& report, const QString& title,
               QWidget* parent = nullptr);
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_QT_REPORT_DIALOG_H_
