#include "com/tkemuapi/Util.h"

#include <chrono>
#include <memory>
#include <thread>

#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Shell.h"
#include "platform/Window.h"

namespace com::tkemuapi {

bool Util::isFullScreen() { return TarvokinEmu::shared().fullScreen; }

void Util::setFullScreen(bool on) {
    auto task = std::make_shared<Util>(on);
    std::thread([task] { task->run(); }).detach();
}

void Util::run() {
    try {
        // Wall time, not the game's clock: a stray thread must not move a
        // scripted clock, and the clock it found may be gone by now.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const bool on = fullScreen_;
        platform::WindowSystem::current().events().post([on] {
            try {
                if (auto* shell = TarvokinEmu::Shell::current()) shell->setupWindow(on);
            } catch (...) {
            }
        });
    } catch (...) {
    }
}

}  // namespace com::tkemuapi
