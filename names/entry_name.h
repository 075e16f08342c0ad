// Turning the name bytes of a VFS record into the entry name used in the rip
// script's paths.
//
// Names come from an untrusted file and end up inside a batch script, so the
// rewrite that makes a game's "sfx/door.wav" into "sfx\door" is followed by
// one that keeps every name a harmless relative path below the EXT_ folder:
//
//   1. keep the bytes before the first NUL (all of them when there is none);
//   2. remove every ".wav" (case as written) in one pass, left to right;
//      text brought together by a removal isn't searched again;
//   3. "/" becomes "\";
//   4. bytes 0x01-0x1F and " < > | ? * : become "_";
//   5. per "\"-separated part: a part of only "." and " " has each of them
//      replaced by "_" (no climbing out with ".."); a part that Windows
//      would take for a device (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9,
//      LPT0-9, and COM/LPT with one byte 0x80-0xFF, such as a superscript
//      digit) gets a leading "_".
//
// Everything else, bytes 0x80-0xFF, "!", "&", "^", "%", spaces and letter
// case, passes through unchanged; "%" is escaped later, when lines are
// written.

#ifndef BRIMWALD_RIP_ENTRY_NAME_H_
#define BRIMWALD_RIP_ENTRY_NAME_H_

#include <string>
#include <string_view>

namespace brimwald {

/// Normalises the name window `window` into `entry_name` (replacing its
/// content; the buffer is reused to spare allocations in long rips).
void NormaliseEntryName(std::string_view window, std::string& entry_name);

/// Convenience form of the above.
std::string NormaliseEntryName(std::string_view window);

/// Whether `part` (one path part) names a Windows device: its text before
/// the first ".", trailing spaces ignored, compared without ASCII case.
bool IsDeviceName(std::string_view part);

}  // namespace brimwald

#endif  // BRIMWALD_RIP_ENTRY_NAME_H_
