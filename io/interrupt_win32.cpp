#include <windows.h>

#include <array>
#include <atomic>
#include <string>
#include <utility>

#include "io/interrupt.h"
#include "text/wide_text.h"

// The console runs its control handler on a thread of its own, while the
// program goes on. A lock keeps a registration from being freed while the
// handler reads it; the handler never gives the lock back, so nothing can
// register or commit a file in the moment before the process ends.

namespace brimwald {
namespace {

struct Registered {
  std::wstring path;
  bool is_folder;
};

SRWLOCK lock = SRWLOCK_INIT;
std::array<Registered*, 16> slots;  // guarded by lock

void Remove(const Registered& registered) {
  if (registered.is_folder) {
    ::RemoveDirectoryW(registered.path.c_str());
    return;
  }
  // A file about to take a read-only target's place is read-only itself.
  ::SetFileAttributesW(registered.path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(registered.path.c_str());
}

// Whether an InterruptStopsWork lives, and whether a Ctrl-C came since.
std::atomic<bool> stop_armed{false};
std::atomic<bool> stop_requested{false};

// Files first, then the folders, as many rounds as there can be nested
// folders, so that each is empty when its turn comes.
BOOL WINAPI RemoveAndEnd(DWORD event) {
  if (event == CTRL_C_EVENT && stop_armed.load() &&
      !stop_requested.exchange(true)) {
    return TRUE;  // handled: the work stops by itself
  }
  ::AcquireSRWLockExclusive(&lock);
  for (size_t round = 0; round <= slots.size(); ++round) {
    for (const Registered* registered : slots) {
      if (registered != nullptr && registered->is_folder == (round > 0)) {
        Remove(*registered);
      }
    }
  }
  // Not handled: the system's default ends the process as the event asks.
  return FALSE;
}

}  // namespace

void RemoveTemporaryFilesOnInterrupt() {
  ::SetConsoleCtrlHandler(RemoveAndEnd, TRUE);
}

InterruptStopsWork::InterruptStopsWork() {
  stop_requested.store(false);
  stop_armed.store(true);
}

InterruptStopsWork::~InterruptStopsWork() { stop_armed.store(false); }

bool InterruptStopsWork::Requested() { return stop_requested.load(); }

TemporaryName::TemporaryName(const Folder& folder, const std::string& name,
                             bool is_folder) {
  // Absolute, in case the current folder changes before an interrupt.
  auto* path =
      new Registered{AbsolutePath(NativePath(folder.PathOf(name))), is_folder};
  ::AcquireSRWLockExclusive(&lock);
  for (size_t i = 0; i < slots.size() && slot_ < 0; ++i) {
    if (slots[i] == nullptr) {
      slots[i] = path;
      slot_ = static_cast<int>(i);
    }
  }
  ::ReleaseSRWLockExclusive(&lock);
  if (slot_ < 0) delete path;
}

TemporaryName::~TemporaryName() {
  if (slot_ < 0) return;
  ::AcquireSRWLockExclusive(&lock);
  Registered* path = std::exchange(slots[static_cast<size_t>(slot_)], nullptr);
  ::ReleaseSRWLockExclusive(&lock);
  delete path;
}

}  // namespace brimwald
