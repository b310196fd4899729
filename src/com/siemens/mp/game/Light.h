// The display light: the desktop has none, so nothing happens.
#pragma once

namespace com::siemens::mp::game {

class Light {
public:
    static void setLightOn() {}
    static void setLightOff() {}
};

}  // namespace com::siemens::mp::game
