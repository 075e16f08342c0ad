// Starts the window in the current directory and runs until it is closed.

#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The design's boxes are measured in pixels for this style's frames.
  QApplication::setStyle(QStringLiteral("Fusion"));
  brimwald::MainWindow window;
  window.show();
  return QApplication::exec();
}
