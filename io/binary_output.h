// Standard output for bytes rather than text. Windows' C runtime writes a
// stream in text mode by default, where every "\n" becomes "\r\n": bytes
// piped into another tool would arrive changed.

#ifndef BRIMWALD_IO_BINARY_OUTPUT_H_
#define BRIMWALD_IO_BINARY_OUTPUT_H_

namespace brimwald {

/// Makes standard output pass bytes unchanged from here on (binary mode on
/// Windows; it always does elsewhere). Call before anything is written.
void MakeStandardOutputBinary();

}  // namespace brimwald

#endif  // BRIMWALD_IO_BINARY_OUTPUT_H_
