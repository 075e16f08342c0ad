// Switches that make the I/O layer take the slower ways it keeps for
// systems that lack the fast ones, so that tests can reach them on a
// system that has the fast ones. All off outside tests.

#ifndef BRIMWALD_IO_FORCED_FALLBACKS_H_
#define BRIMWALD_IO_FORCED_FALLBACKS_H_

namespace brimwald {

struct ForcedFallbacks {
  /// Folder::Beneath() finds nothing, as where the kernel or a seccomp
  /// filter refuses a one-call lookup: folders are walked part by part.
  bool folder_walk = false;
  /// AtomicFile::MakeBackup() copies, as where the filesystem takes no
  /// second link to a file.
  bool backup_copy = false;
};

/// The process's switches, for tests to set and restore.
ForcedFallbacks& forced_fallbacks();

}  // namespace brimwald

#endif  // BRIMWALD_IO_FORCED_FALLBACKS_H_
