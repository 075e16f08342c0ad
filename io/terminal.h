// Whether the standard streams are terminals, and how wide, per platform.

#ifndef BRIMWALD_IO_TERMINAL_H_
#define BRIMWALD_IO_TERMINAL_H_

namespace brimwald {

/// The width in columns of the terminal (on Windows: the console window)
/// that standard error is, where a progress line may be drawn; 80 when a
/// terminal doesn't tell, 0 when standard error is no terminal.
int StandardErrorColumns();

/// Whether standard output is a terminal (on Windows: a console).
bool StandardOutputIsTerminal();

}  // namespace brimwald

#endif  // BRIMWALD_IO_TERMINAL_H_
