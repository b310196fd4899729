// The SDL2 back end of the window system: the program's window, its event
// thread (the thread that runs runEventLoop, the process's main thread) and
// the watch on the display connection. SDL itself stays inside the platform.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Window.h"

namespace platform {

class SdlWindow;

class SdlWindowSystem final : public WindowSystem {
public:
    // Initialises SDL's video; raises std::runtime_error with SDL's message
    // when there is no display to open.
    SdlWindowSystem();
    ~SdlWindowSystem() override;

    std::unique_ptr<Window> createWindow() override;
    std::unique_ptr<Window> createGlWindow() override;
    int runEventLoop() override;
    // Leaves full screen (the display mode from before comes back) and
    // closes SDL; the process is about to end.
    void shutdown() override;
    void forget(SdlWindow* window);

    // True once the connection to the display broke; SDL is not called
    // any more.
    bool displayGone() const { return displayGone_.load(); }
    // Event thread, from inside the window system's failing call: tells the
    // window's listener, prints one line and ends the process. Never
    // returns.
    [[noreturn]] void displayLost();

private:
    void pump(int waitMs);
    std::atomic<bool> displayGone_{false};
    std::uint32_t wakeEvent_ = 0;
    SdlWindow* window_ = nullptr;
};

}  // namespace platform
