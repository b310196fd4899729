// A gamepad made in software by SDL, plugged into the running window
// system: tests drive the real pad path with it (hot-plug, buttons, stick)
// where no hardware can be plugged. Each call returns once the window
// system has handled what it caused. Not for the event thread.
#pragma once

#include <memory>

#include "platform/GamepadKeys.h"

namespace platform {

class VirtualGamepad {
public:
    // Plugs a pad in; throws std::runtime_error when SDL cannot make one.
    static std::unique_ptr<VirtualGamepad> plug();
    ~VirtualGamepad();
    VirtualGamepad(const VirtualGamepad&) = delete;
    VirtualGamepad& operator=(const VirtualGamepad&) = delete;

    void set(GamepadKeys::Button button, bool down);
    // The left stick: -32768 .. 32767 on each axis.
    void stick(int x, int y);
    // Pulls the pad out, whatever it holds.
    void unplug();

private:
    struct Device;
    explicit VirtualGamepad(std::unique_ptr<Device> device);
    std::unique_ptr<Device> device_;
};

}  // namespace platform
