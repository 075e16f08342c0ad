// Times the Entries dialog, for scripts/bench: chooses CONTAINER in the
// window (the current directory's), then RUNS times opens the dialog on it
// as the list's menu does and types PATTERN into its filter one key at a
// time. Prints two figures, in seconds: the median time from the menu's
// command to the dialog painted with its first rows, and the median over
// the runs of the slowest keystroke (the filter, the table's reset and its
// repaint). With --all, the window works in FOLDER and the dialog opens on
// every container there, as "Entries of all containers..." opens it.
//
//   entries_dialog_bench CONTAINER [RUNS [PATTERN]]
//   entries_dialog_bench --all FOLDER [RUNS [PATTERN]]

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/qt/entries_dialog.h"
#include "app/qt/main_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Runs what is pending, then paints the table's visible rows at once, as
// the screen would show them.
void Paint(QTableView* table) {
  QApplication::processEvents();
  table->viewport()->repaint();
}

// Types `key` into `box` as the keyboard would.
void Type(QLineEdit* box, char key) {
  const QString text(QChar::fromLatin1(key));
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
  QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
  QApplication::sendEvent(box, &press);
  QApplication::sendEvent(box, &release);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool all = argc > 1 && std::string(argv[1]) == "--all";
  if (all) {
    --argc;
    ++argv;
  }
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: entries_dialog_bench [--all FOLDER | CONTAINER] "
                 "[RUNS [PATTERN]]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const std::string pattern = argc > 3 ? argv[3] : "*track*7";
  brimwald::MainWindow window(all ? argv[1] : "");
  bool failed = false;
  window.SetErrorReport([&](const QString& description) {
    std::fprintf(stderr, "%s\n", qPrintable(description));
    failed = true;
  });
  window.show();
  if (!all) window.ChooseFile(argv[1]);

  std::vector<double> opens;
  std::vector<double> keystrokes;
  for (int run = 0; run < runs && !failed; ++run) {
    Clock::time_point start = Clock::now();
    if (all) {
      window.OpenAllEntries();
    } else {
      window.OpenEntries();
    }
    brimwald::EntriesDialog* dialog = window.entries_dialog();
    if (dialog == nullptr) break;
    auto* table = dialog->findChild<QTableView*>(QStringLiteral("entries"));
    auto* filter = dialog->findChild<QLineEdit*>(QStringLiteral("filter"));
    Paint(table);
    opens.push_back(SecondsSince(start));

    double slowest = 0;
    for (char key : pattern) {
      start = Clock::now();
      Type(filter, key);
      Paint(table);
      slowest = std::max(slowest, SecondsSince(start));
    }
    keystrokes.push_back(slowest);
    if (filter->text() != QString::fromLatin1(pattern)) {
      std::fprintf(stderr, "the filter holds '%s', not the pattern typed\n",
                   qPrintable(filter->text()));
      return 1;
    }
  }
  if (failed || opens.empty()) return 1;
  std::printf("%.4f %.4f\n", Median(opens), Median(keystrokes));
  return 0;
}
