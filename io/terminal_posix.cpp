#include <unistd.h>

#include "io/terminal.h"

namespace brimwald {

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace brimwald
