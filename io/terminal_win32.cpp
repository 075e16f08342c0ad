#include <windows.h>

#include "io/terminal.h"

namespace brimwald {

bool StandardErrorIsTerminal() {
  DWORD mode;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace brimwald
