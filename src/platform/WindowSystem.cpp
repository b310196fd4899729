#include <atomic>
#include <stdexcept>

#include "platform/Window.h"

namespace platform {

namespace {
std::atomic<WindowSystem*> installedSystem{nullptr};
}

WindowSystem& WindowSystem::current() {
    WindowSystem* s = installedSystem.load();
    if (!s) throw std::logic_error("no window system installed");
    return *s;
}

void WindowSystem::install(WindowSystem* system) { installedSystem = system; }

}  // namespace platform
