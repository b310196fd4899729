// Lights and vibration of the handset: the desktop has neither, so every
// operation does nothing.
#pragma once

#include <cstdint>

namespace com::nokia::mid::ui {

class DeviceControl {
public:
    static void flashLights(std::int64_t duration);
    static void setLights(int num, int level);
    static void startVibra(int freq, std::int64_t duration);
    static void stopVibra();
};

}  // namespace com::nokia::mid::ui
