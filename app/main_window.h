// The program's one window, `Form1`: the list of the current directory's
// containers, the inspection result, the RIP button and the name of the entry
// being ripped. It routes the list choice to the inspection and the button to
// the rip, and reports the errors that reach it; the logic is in the core.

#ifndef BRIMWALD_APP_MAIN_WINDOW_H_
#define BRIMWALD_APP_MAIN_WINDOW_H_

#include <QString>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "container/selection.h"
#include "rip/rip_script.h"

namespace Ui {
class Form1;
}

namespace brimwald {

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  /// Shows the description of an error that reached the top of an event.
  using ErrorReport = std::function<void(const QString& description)>;

  /// Creates the window from its design and lists the "*.str" files of
  /// `directory` (empty: the current directory), which is also where the
  /// chosen container is read and its script written. The list is filled
  /// once, here; nothing is chosen and nothing inspected until the user
  /// picks an entry. Errors are reported in a message box titled with the
  /// window's caption, and the beep is the system's.
  explicit MainWindow(const QString& directory = QString(),
                      QWidget* parent = nullptr);
  ~MainWindow() override;

  /// Replaces the error report, e.g. so that tests never wait on a modal box.
  void SetErrorReport(ErrorReport report);
  /// Replaces the beep that ends a successful rip.
  void SetBeep(Beep beep);

 private:
  void FillFileList(const QString& directory);
  void InspectChosenFile();
  void RipSelection();
  void ShowInfo(const QString& text);
  void Report(std::exception_ptr error);

  std::unique_ptr<Ui::Form1> ui_;
  std::string directory_;  // as the core takes it: bytes, empty for "."
  Selection selection_;
  ErrorReport report_error_;
  Beep beep_;
};

}  // namespace brimwald

#endif  // BRIMWALD_APP_MAIN_WINDOW_H_
