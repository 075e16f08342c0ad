// Standard output and standard error on a Windows console.
//
// A console shows bytes in its code page, which garbles every name outside
// it, so text for a console goes out as Unicode (WriteConsoleW). The
// programs' text is UTF-8 (file names) mixed with entry names, which are
// the container's bytes and read in the script's code page: each stretch
// between spaces, tabs, quotes and line ends is shown as UTF-8 when it is
// UTF-8, and otherwise read in the script's code page, as the extraction
// names the entry's file. Output that isn't a console (a file, a pipe)
// gets the bytes unchanged, as on every other system.

#ifndef BRIMWALD_IO_CONSOLE_OUTPUT_H_
#define BRIMWALD_IO_CONSOLE_OUTPUT_H_

#include <memory>
#include <string>
#include <string_view>

namespace brimwald {

/// While it lives, std::cout and std::cerr each write to the console as
/// Unicode text when they are one (Windows only). Make it at the start of
/// main, before anything is written but after any
/// std::ios::sync_with_stdio(false), which gives the streams new buffers;
/// it flushes both when it goes.
class ConsoleOutput {
 public:
  ConsoleOutput();
  ~ConsoleOutput();
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

 private:
  struct Streams;
  std::unique_ptr<Streams> streams_;
};

/// The bytes that a reader of the script's code page turns into the
/// characters they stand for, as UTF-8: DecodeFromScript().
using DecodeBytes = std::string (*)(std::string_view bytes);

/// `bytes` as UTF-8 for the console: each stretch between spaces, tabs,
/// quotes and line ends that is UTF-8 stays as it is, every other goes
/// through `decode`.
std::string TextForConsole(std::string_view bytes, DecodeBytes decode);

}  // namespace brimwald

#endif  // BRIMWALD_IO_CONSOLE_OUTPUT_H_
