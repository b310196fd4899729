#include "platform/VirtualGamepad.h"

#include <SDL.h>

#include <stdexcept>
#include <string>

#include "platform/Window.h"

namespace platform {

namespace {

// Runs an SDL call on the event thread, then waits for one more turn of
// the loop, which pumps SDL's events and hands what the call caused to the
// window system.
void onEventThread(const std::function<void()>& call) {
    EventLoop& events = WindowSystem::current().events();
    events.invokeAndWait(call);
    events.invokeAndWait([] {});
}

int buttonOf(GamepadKeys::Button b) {
    using B = GamepadKeys::Button;
    switch (b) {
    case B::A: return SDL_CONTROLLER_BUTTON_A;
    case B::B: return SDL_CONTROLLER_BUTTON_B;
    case B::Back: return SDL_CONTROLLER_BUTTON_BACK;
    case B::Start: return SDL_CONTROLLER_BUTTON_START;
    case B::DpadUp: return SDL_CONTROLLER_BUTTON_DPAD_UP;
    case B::DpadDown: return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    case B::DpadLeft: return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    case B::DpadRight: return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    }
    return SDL_CONTROLLER_BUTTON_INVALID;
}

}  // namespace

struct VirtualGamepad::Device {
    SDL_Joystick* joystick = nullptr;
    SDL_JoystickID id = -1;
};

std::unique_ptr<VirtualGamepad> VirtualGamepad::plug() {
    auto device = std::make_unique<Device>();
    std::string error;
    onEventThread([&] {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                    SDL_CONTROLLER_BUTTON_MAX, 0);
        if (index < 0 || !(device->joystick = SDL_JoystickOpen(index))) {
            error = SDL_GetError();
            return;
        }
        device->id = SDL_JoystickInstanceID(device->joystick);
    });
    if (!device->joystick) throw std::runtime_error("no virtual gamepad: " + error);
    return std::unique_ptr<VirtualGamepad>(new VirtualGamepad(std::move(device)));
}

VirtualGamepad::VirtualGamepad(std::unique_ptr<Device> device) : device_(std::move(device)) {}

VirtualGamepad::~VirtualGamepad() { unplug(); }

void VirtualGamepad::set(GamepadKeys::Button button, bool down) {
    if (!device_->joystick) return;
    onEventThread([&] { SDL_JoystickSetVirtualButton(device_->joystick, buttonOf(button), down ? 1 : 0); });
}

void VirtualGamepad::stick(int x, int y) {
    if (!device_->joystick) return;
    onEventThread([&] {
        SDL_JoystickSetVirtualAxis(device_->joystick, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x));
        SDL_JoystickSetVirtualAxis(device_->joystick, SDL_CONTROLLER_AXIS_LEFTY, static_cast<Sint16>(y));
    });
}

void VirtualGamepad::unplug() {
    if (!device_->joystick) return;
    onEventThread([&] {
        SDL_JoystickClose(device_->joystick);
        device_->joystick = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == device_->id) SDL_JoystickDetachVirtual(i);
    });
}

}  // namespace platform
