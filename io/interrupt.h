// Removing the temporary files of unfinished output, and the folders made
// for it, when the user interrupts a program (Ctrl-C, SIGTERM), so that an
// interrupted run leaves complete files and nothing else.

#ifndef BRIMWALD_IO_INTERRUPT_H_
#define BRIMWALD_IO_INTERRUPT_H_

#include <string>

#include "io/folder.h"

namespace brimwald {

/// Makes an interrupt (SIGINT, SIGTERM, SIGHUP; the console's Ctrl-C and
/// close on Windows) remove the temporary files that are registered at that
/// moment, then end the program as the interrupt asks. A front end calls it
/// once, at start.
void RemoveTemporaryFilesOnInterrupt();

/// While an object of this class lives, the first SIGINT (the console's
/// Ctrl-C on Windows) doesn't end the program: it only makes Requested()
/// true, so that the work can stop between two steps and tell how far it
/// got. Another interrupt, or one while none lives, ends the program as
/// RemoveTemporaryFilesOnInterrupt() makes it. One lives at a time.
class InterruptStopsWork {
 public:
  InterruptStopsWork();
  ~InterruptStopsWork();
  InterruptStopsWork(const InterruptStopsWork&) = delete;
  InterruptStopsWork& operator=(const InterruptStopsWork&) = delete;

  /// Whether an interrupt came since the living object was made.
  static bool Requested();
};

/// Registers the temporary file `name` in `folder` for removal on an
/// interrupt while this object lives; with `is_folder`, a folder made for
/// output, removed if it is empty then (after the files). Best effort: at
/// most a few names are registered at once, which is more than any front
/// end writes together.
class TemporaryName {
 public:
  TemporaryName(const Folder& folder, const std::string& name,
                bool is_folder = false);
  ~TemporaryName();
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;

 private:
  int slot_ = -1;
};

}  // namespace brimwald

#endif  // BRIMWALD_IO_INTERRUPT_H_
