#include "com/tkemuapi/Util.h"

#include <memory>
#include <thread>

#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Shell.h"
#include "platform/Clock.h"
#include "platform/Window.h"

namespace com::tkemuapi {

bool Util::isFullScreen() { return TarvokinEmu::shared().fullScreen; }

void Util::setFullScreen(bool on) {
    auto task = std::make_shared<Util>(on);
    std::thread([task] { task->run(); }).detach();
}

void Util::run() {
    try {
        platform::Clock::current().sleepMillis(50);
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
