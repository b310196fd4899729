#include "platform/SdlWindowSystem.h"

#include <X11/Xlib.h>

#include <chrono>
#include <optional>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "platform/Console.h"
#include "platform/SdlWindow.h"

namespace platform {

namespace {

std::atomic<SdlWindowSystem*> liveSystem{nullptr};

// Xlib calls this when the connection to the X server breaks, on the
// thread whose call found it broken (the event thread, or another thread
// waking it), and ends the process with exit() if it returns, which would
// run static destructors under the threads still using those objects. So
// the first call stops the game and ends the process itself; a later one,
// from another thread, waits for that.
int onDisplayConnectionLost(Display*) {
    static std::atomic<bool> entered{false};
    SdlWindowSystem* system = liveSystem.load();
    if (!system) {
        std::fflush(stdout);
        std::_Exit(WindowSystem::kDisplayLostStatus);
    }
    if (entered.exchange(true))
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
    system->displayLost();
}

}  // namespace

SdlWindowSystem::SdlWindowSystem()
    : padKeys_([this](const KeyEvent& k) {
          if (window_ && window_->listener()) window_->listener()->keyEvent(k);
      }) {
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        throw std::runtime_error(std::string("cannot open the display: ") + SDL_GetError());
    // Without pads the game still plays from the keyboard.
    padsReady_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!padsReady_) Console::errln(std::string("No gamepads: ") + SDL_GetError());
    wakeEvent_ = SDL_RegisterEvents(1);
    events_.setWaker([this] {
        SDL_Event e{};
        e.type = wakeEvent_;
        SDL_PushEvent(&e);
    });
    liveSystem = this;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::string_view(driver) == "x11") XSetIOErrorHandler(&onDisplayConnectionLost);
}

SdlWindowSystem::~SdlWindowSystem() {
    SdlWindowSystem* self = this;
    liveSystem.compare_exchange_strong(self, nullptr);
    events_.setWaker(nullptr);
    closePads();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

std::unique_ptr<Window> SdlWindowSystem::createWindow() {
    auto window = std::make_unique<SdlWindow>(*this, false);
    window_ = window.get();
    return window;
}

std::unique_ptr<Window> SdlWindowSystem::createGlWindow() {
    auto window = std::make_unique<SdlWindow>(*this, true);
    window_ = window.get();
    return window;
}

void SdlWindowSystem::forget(SdlWindow* window) {
    if (window_ == window) window_ = nullptr;
}

void SdlWindowSystem::displayLost() {
    displayGone_ = true;
    // Waking the loop would talk to the display again.
    events_.setWaker(nullptr);
    if (window_ && window_->listener()) window_->listener()->displayLost();
    Console::errln("The display went away; the game was stopped.");
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(kDisplayLostStatus);
}

void SdlWindowSystem::pump(int waitMs) {
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, waitMs)) return;
    do {
        if (e.type == wakeEvent_) continue;
        // A handler that throws loses its event, not the event thread.
        try {
            if (e.type == SDL_QUIT) {
                if (window_ && window_->listener()) window_->listener()->windowClosing();
            } else if (e.type >= SDL_CONTROLLERAXISMOTION && e.type <= SDL_CONTROLLERDEVICEREMAPPED) {
                padEvent(e);
            } else if (window_) {
                if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) padKeys_.releaseAll();
                window_->handleEvent(e);
            }
        } catch (const std::exception& error) {
            events_.report(error);
        }
    } while (SDL_PollEvent(&e));
}

namespace {

std::optional<GamepadKeys::Button> padButton(Uint8 button) {
    using B = GamepadKeys::Button;
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return B::A;
    case SDL_CONTROLLER_BUTTON_B: return B::B;
    case SDL_CONTROLLER_BUTTON_BACK: return B::Back;
    case SDL_CONTROLLER_BUTTON_START: return B::Start;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return B::DpadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return B::DpadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return B::DpadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return B::DpadRight;
    default: return std::nullopt;
    }
}

}  // namespace

void SdlWindowSystem::padEvent(const SDL_Event& e) {
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: {
        // Pads present at start arrive here too; each is opened once.
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(e.cdevice.which);
        if (id < 0 || pads_.count(id)) break;
        if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which)) pads_[id] = pad;
        break;
    }
    case SDL_CONTROLLERDEVICEREMOVED: {
        // Whatever the pad held is let go, as if its buttons came up.
        padKeys_.unplugged(e.cdevice.which);
        auto it = pads_.find(e.cdevice.which);
        if (it == pads_.end()) break;
        SDL_GameControllerClose(it->second);
        pads_.erase(it);
        break;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (auto button = padButton(e.cbutton.button))
            padKeys_.button(e.cbutton.which, *button, e.type == SDL_CONTROLLERBUTTONDOWN);
        break;
    case SDL_CONTROLLERAXISMOTION:
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
            padKeys_.axis(e.caxis.which, GamepadKeys::Axis::LeftX, e.caxis.value);
        else if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
            padKeys_.axis(e.caxis.which, GamepadKeys::Axis::LeftY, e.caxis.value);
        break;
    default:
        break;
    }
}

void SdlWindowSystem::closePads() {
    for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad);
    pads_.clear();
    if (padsReady_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    padsReady_ = false;
}

void SdlWindowSystem::shutdown() {
    if (!displayGone_) {
        if (window_ && window_->isFullScreen()) window_->leaveFullScreen();
        SDL_Quit();
    }
}

int SdlWindowSystem::runEventLoop() {
    return events_.run([this](int waitMs) { pump(waitMs); });
}

}  // namespace platform
