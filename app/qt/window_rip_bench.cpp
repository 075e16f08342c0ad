// Times RIP through the window: chooses CONTAINER in the window's list (the
// current directory's), clicks RIP RUNS times and prints the median seconds
// of one click, the way scripts/bench compares it with the command line.
//
//   window_rip_bench CONTAINER [RUNS]

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_rip_bench CONTAINER [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  brimwald::MainWindow window;
  bool failed = false;
  window.SetErrorReport([&](const QString& description) {
    std::fprintf(stderr, "%s\n", qPrintable(description));
    failed = true;
  });
  window.SetBeep([] {});
  auto* list = window.findChild<QListWidget*>(QStringLiteral("File1"));
  auto* rip = window.findChild<QPushButton*>(QStringLiteral("cmdRIP"));
  const QList<QListWidgetItem*> items =
      list->findItems(QString::fromLocal8Bit(argv[1]), Qt::MatchExactly);
  if (items.isEmpty()) {
    std::fprintf(stderr, "%s is not in the window's list\n", argv[1]);
    return 1;
  }
  items.front()->setSelected(true);

  std::vector<double> seconds;
  for (int run = 0; run < runs && !failed; ++run) {
    auto start = std::chrono::steady_clock::now();
    rip->click();
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count());
  }
  if (failed) return 1;
  std::sort(seconds.begin(), seconds.end());
  std::printf("%.4f\n", seconds[seconds.size() / 2]);
  return 0;
}
