// The display backlight: not supported on the desktop.
#pragma once

namespace com::samsung::util {

class LCDLight {
public:
    static bool isSupported() { return false; }
    static void on(int) {}
    static void off() {}
};

}  // namespace com::samsung::util
