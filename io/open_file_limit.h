// How many files this process may hold open at once.

#ifndef BRIMWALD_IO_OPEN_FILE_LIMIT_H_
#define BRIMWALD_IO_OPEN_FILE_LIMIT_H_

namespace brimwald {

/// Lets this process hold as many files open as the system allows it, for
/// a command that keeps every file it compared open until it writes from
/// it: on POSIX the soft limit on open files (1024 by default on many
/// systems) is raised to the hard one. Where it can't be raised, the limit
/// stays, and a file beyond it fails to open with its own error. Nothing
/// to do on Windows, whose handles have no such limit.
void AllowEveryOpenFile();

}  // namespace brimwald

#endif  // BRIMWALD_IO_OPEN_FILE_LIMIT_H_
