// A gamepad as keyboard keys: the D-pad and the left stick are the arrow
// keys, A is Enter (fire), B and Back are Escape (left softkey), Start is
// the right softkey. Each key is pressed when its first pad input goes down
// and released when its last one comes up, over every pad plugged in, so a
// key held by the stick and the D-pad at once is one press and one release,
// as on a keyboard. Event thread only; knows nothing of SDL.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "platform/Window.h"

namespace platform {

class GamepadKeys {
public:
    enum class Button { A, B, Back, Start, DpadUp, DpadDown, DpadLeft, DpadRight };
    enum class Axis { LeftX, LeftY };

    // The stick counts as a direction beyond kPressAt of its travel and
    // lets go inside kReleaseAt (the dead zone), so a stick resting near
    // the edge does not chatter.
    static constexpr int kPressAt = 16384, kReleaseAt = 12288;

    using Sink = std::function<void(const KeyEvent&)>;
    explicit GamepadKeys(Sink sink) : sink_(std::move(sink)) {}

    // pad: any number naming one plugged pad for as long as it is plugged.
    void button(int pad, Button button, bool down);
    // value: -32768 (left, up) .. 32767 (right, down).
    void axis(int pad, Axis axis, int value);
    // The pad is gone: every key it held is released.
    void unplugged(int pad);
    // The window lost the focus, after which SDL drops pad events: every
    // held key is released, as the keyboard's are, rather than left stuck.
    void releaseAll();

private:
    // What a pad input stands for.
    enum Key : int { Up, Down, Left, Right, Fire, Escape, RightSoft, kKeyCount };
    // Bits of a pad's held inputs: the eight buttons, then the stick's four
    // directions.
    static constexpr int kStickBit = 8, kBitCount = 12;
    static Key keyOfBit(int bit);
    void set(int pad, int bit, bool down);
    void deliver(Key key, bool pressed);

    Sink sink_;
    std::map<int, std::uint32_t> held_;  // by pad
    int holders_[kKeyCount] = {};
};

}  // namespace platform
