// The SDL2 back end of the window system: the program's window, its event
// thread (the thread that runs runEventLoop, the process's main thread) and
// the watch on the display connection. SDL itself stays inside the platform.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>

#include "platform/GamepadKeys.h"
#include "platform/Window.h"

union SDL_Event;
struct _SDL_GameController;

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
    // Gamepads: plugged, unplugged, buttons and the left stick, turned into
    // the keys they stand for.
    void padEvent(const SDL_Event& e);
    void closePads();
    std::atomic<bool> displayGone_{false};
    std::uint32_t wakeEvent_ = 0;
    SdlWindow* window_ = nullptr;
    bool padsReady_ = false;
    std::map<std::int32_t, _SDL_GameController*> pads_;  // by joystick instance id
    GamepadKeys padKeys_;
};

}  // namespace platform
