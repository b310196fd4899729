#include "TarvokinEmu/Shell.h"

#include <atomic>

namespace TarvokinEmu {

namespace {
std::atomic<Shell*> currentShell{nullptr};
}  // namespace

Shell::Shell() { currentShell = this; }

Shell::~Shell() {
    Shell* self = this;
    currentShell.compare_exchange_strong(self, nullptr);
}

Shell* Shell::current() { return currentShell.load(); }

}  // namespace TarvokinEmu
