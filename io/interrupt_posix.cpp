#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>

#include "io/interrupt.h"

namespace brimwald {
namespace {

struct Registered {
  int folder;
  std::string name;
  bool is_folder;
};

// The handler reads these without locks: a slot is published only once its
// Registered is complete, and emptied before that is destroyed.
std::array<std::atomic<const Registered*>, 16> slots;

// Whether an InterruptStopsWork lives, and whether an interrupt came since.
std::atomic<bool> stop_armed{false};
std::atomic<bool> stop_requested{false};

// Files first, then the folders, as many rounds as there can be nested
// folders, so that each is empty when its turn comes.
void RemoveAndEnd(int signal_number) {
  if (signal_number == SIGINT && stop_armed.load() &&
      !stop_requested.exchange(true)) {
    return;
  }
  for (size_t round = 0; round <= slots.size(); ++round) {
    for (auto& slot : slots) {
      const Registered* registered = slot.load();
      if (registered != nullptr && registered->is_folder == (round > 0)) {
        ::unlinkat(registered->folder, registered->name.c_str(),
                   registered->is_folder ? AT_REMOVEDIR : 0);
      }
    }
  }
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

}  // namespace

void RemoveTemporaryFilesOnInterrupt() {
  struct sigaction action = {};
  action.sa_handler = RemoveAndEnd;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    ::sigaction(signal_number, &action, nullptr);
  }
}

InterruptStopsWork::InterruptStopsWork() {
  stop_requested.store(false);
  stop_armed.store(true);
}

InterruptStopsWork::~InterruptStopsWork() { stop_armed.store(false); }

bool InterruptStopsWork::Requested() { return stop_requested.load(); }

TemporaryName::TemporaryName(const Folder& folder, const std::string& name,
                             bool is_folder) {
  auto* registered = new Registered{folder.handle(), name, is_folder};
  for (size_t i = 0; i < slots.size(); ++i) {
    const Registered* empty = nullptr;
    if (slots[i].compare_exchange_strong(empty, registered)) {
      slot_ = static_cast<int>(i);
      return;
    }
  }
  delete registered;
}

TemporaryName::~TemporaryName() {
  if (slot_ < 0) return;
  delete slots[static_cast<size_t>(slot_)].exchange(nullptr);
}

}  // namespace brimwald
