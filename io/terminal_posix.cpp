#include <sys/ioctl.h>
#include <unistd.h>

#include "io/terminal.h"

namespace brimwald {

int StandardErrorColumns() {
  if (::isatty(STDERR_FILENO) != 1) return 0;
  struct winsize size = {};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
    return 80;
  }
  return size.ws_col;
}

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

}  // namespace brimwald
