#ifndef BRIMWALD_IO_TERMINAL_H_
#define BRIMWALD_IO_TERMINAL_H_

namespace brimwald {

/// Whether standard error is a terminal, where a progress line may be drawn.
bool StandardErrorIsTerminal();

}  // namespace brimwald

#endif  // BRIMWALD_IO_TERMINAL_H_
