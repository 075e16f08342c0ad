// The confirmation before putting streams back, in the Qt window: what the
// session's plan says, what would be replaced and every finding, and the
// "Keep a backup" check box, on by default. Enter confirms, Escape cancels.
// A plan with nothing to confirm only tells its text, with one button.

#ifndef BRIMWALD_APP_QT_WRITE_BACK_DIALOG_H_
#define BRIMWALD_APP_QT_WRITE_BACK_DIALOG_H_

#include <QDialog>
#include <QString>

#include "app/session/window_session.h"

class QCheckBox;

namespace brimwald {

class WriteBackDialog : public QDialog {
  Q_OBJECT

 public:
  /// The dialog for `plan`, captioned `caption` (the window's). Its
  /// children are named for tests: "text", "details", "backup".
  WriteBackDialog(const WriteBackPlan& plan, const QString& caption,
                  QWidget* parent = nullptr);

  /// Whether the user wants the backup.
  bool backup() const;

 private:
  QCheckBox* backup_ = nullptr;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_QT_WRITE_BACK_DIALOG_H_
