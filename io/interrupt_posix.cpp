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
};

// The handler reads these without locks: a slot is published only once its
// Registered is complete, and emptied before that is destroyed.
std::array<std::atomic<const Registered*>, 16> slots;

void RemoveAndEnd(int signal_number) {
  for (auto& slot : slots) {
    const Registered* registered = slot.load();
    if (registered != nullptr) {
      ::unlinkat(registered->folder, registered->name.c_str(), 0);
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

TemporaryName::TemporaryName(const Folder& folder, const std::string& name) {
  auto* registered = new Registered{folder.handle(), name};
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
