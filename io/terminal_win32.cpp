#include <windows.h>

#include "io/terminal.h"

namespace brimwald {

int StandardErrorColumns() {
  HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode;
  if (::GetConsoleMode(handle, &mode) == 0) return 0;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (::GetConsoleScreenBufferInfo(handle, &info) == 0) return 80;
  int columns = info.srWindow.Right - info.srWindow.Left + 1;
  return columns > 0 ? columns : 80;
}

bool StandardOutputIsTerminal() {
  DWORD mode;
  return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

}  // namespace brimwald
