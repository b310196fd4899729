#include "platform/GamepadKeys.h"

#include "platform/KeyCodes.h"

namespace platform {

GamepadKeys::Key GamepadKeys::keyOfBit(int bit) {
    static constexpr Key kKeys[] = {Fire, Escape, Escape, RightSoft, Up, Down, Left, Right,  // buttons
                                    Up,   Down,   Left,   Right};                            // stick
    return kKeys[bit];
}

void GamepadKeys::button(int pad, Button b, bool down) { set(pad, static_cast<int>(b), down); }

void GamepadKeys::axis(int pad, Axis a, int value) {
    const Key less = a == Axis::LeftX ? Left : Up, more = a == Axis::LeftX ? Right : Down;
    const int lessBit = kStickBit + less, moreBit = kStickBit + more;
    const std::uint32_t held = held_[pad];
    // Past the press point a direction goes down; it stays down until the
    // stick comes back inside the dead zone.
    const bool lessDown = value <= -kPressAt || ((held >> lessBit & 1u) && value < -kReleaseAt);
    const bool moreDown = value >= kPressAt || ((held >> moreBit & 1u) && value > kReleaseAt);
    // Let go before pressing: a stick swung across gives one key at a time.
    for (bool down : {false, true}) {
        if (lessDown == down) set(pad, lessBit, down);
        if (moreDown == down) set(pad, moreBit, down);
    }
}

void GamepadKeys::unplugged(int pad) {
    auto it = held_.find(pad);
    if (it == held_.end()) return;
    for (int bit = 0; bit < kBitCount; ++bit)
        if (it->second >> bit & 1u) set(pad, bit, false);
    held_.erase(pad);
}

void GamepadKeys::releaseAll() {
    while (!held_.empty()) unplugged(held_.begin()->first);
}

void GamepadKeys::set(int pad, int bit, bool down) {
    std::uint32_t& held = held_[pad];
    const std::uint32_t mask = 1u << bit;
    if (((held & mask) != 0) == down) return;
    held ^= mask;
    const Key key = keyOfBit(bit);
    if (down && holders_[key]++ == 0) deliver(key, true);
    if (!down && --holders_[key] == 0) deliver(key, false);
}

void GamepadKeys::deliver(Key key, bool pressed) {
    static constexpr int kCodes[] = {pc::kUp, pc::kDown, pc::kLeft, pc::kRight, pc::kEnter, pc::kEscape, 0};
    KeyEvent e;
    e.pressed = pressed;
    e.keyCode = kCodes[key];
    e.rightSoftKey = key == RightSoft;
    if (sink_) sink_(e);
}

}  // namespace platform
