// Run by InterruptTest.RemovesTemporaryFilesOnCtrlC
// (cmake/check_interrupt.cmake) on a console: starts a file in FOLDER, presses
// Ctrl-C on its own console and waits. The console's handler must remove the
// unfinished file's temporary and end the program before the wait is over.

#include <windows.h>

#include <string>

#include "io/atomic_file.h"
#include "io/interrupt.h"

namespace {

constexpr int kNoConsole = 2;
constexpr int kNotEnded = 3;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 1;
  brimwald::RemoveTemporaryFilesOnInterrupt();
  brimwald::AtomicFile file(std::string(argv[1]) + "/out.bin");
  file.Write("unfinished");
  if (!::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) return kNoConsole;
  ::Sleep(20000);
  return kNotEnded;
}
