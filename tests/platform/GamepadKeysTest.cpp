// Pad inputs as keys: which input gives which key, and when a key shared by
// several inputs (or pads) goes down and comes up.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/GamepadKeys.h"
#include "platform/KeyCodes.h"

namespace {

using platform::GamepadKeys;
using B = GamepadKeys::Button;
using A = GamepadKeys::Axis;

struct Case {
    const char* name;
    std::function<void(GamepadKeys&)> play;
    std::string keys;  // "+code" pressed, "-code" released; "R" the right softkey
};

TEST(GamepadKeys, SharedKeysGoDownOnTheFirstInputAndUpOnTheLast) {
    const Case cases[] = {
        {"buttons",
         [](GamepadKeys& k) {
             for (B b : {B::A, B::B, B::Back, B::Start, B::DpadUp, B::DpadDown, B::DpadLeft, B::DpadRight}) {
                 k.button(0, b, true);
                 k.button(0, b, false);
             }
         },
         "+10 -10 +27 -27 +27 -27 +R -R +38 -38 +40 -40 +37 -37 +39 -39"},
        {"a repeated down is one press",
         [](GamepadKeys& k) {
             k.button(0, B::A, true);
             k.button(0, B::A, true);
             k.button(0, B::A, false);
             k.button(0, B::A, false);
         },
         "+10 -10"},
        {"stick with dead zone and hysteresis",
         [](GamepadKeys& k) {
             for (int v : {GamepadKeys::kPressAt - 1, GamepadKeys::kPressAt, GamepadKeys::kReleaseAt + 1,
                           GamepadKeys::kReleaseAt, -32768, 0})
                 k.axis(0, A::LeftY, v);
         },
         "+40 -40 +38 -38"},
        {"stick swings through to the other side",
         [](GamepadKeys& k) {
             k.axis(0, A::LeftX, 32767);
             k.axis(0, A::LeftX, -32768);
         },
         "+39 -39 +37"},
        {"stick and D-pad on one key",
         [](GamepadKeys& k) {
             k.axis(0, A::LeftX, -30000);
             k.button(0, B::DpadLeft, true);
             k.axis(0, A::LeftX, 0);
             k.button(0, B::DpadLeft, false);
         },
         "+37 -37"},
        {"two pads on one key; unplugging releases only the last holder's keys",
         [](GamepadKeys& k) {
             k.button(1, B::A, true);
             k.button(2, B::A, true);
             k.button(2, B::Start, true);
             k.axis(2, A::LeftX, 32767);
             k.unplugged(1);
             k.unplugged(2);
             k.unplugged(3);
         },
         "+10 +R +39 -10 -R -39"},
        {"losing the focus releases everything",
         [](GamepadKeys& k) {
             k.button(1, B::B, true);
             k.axis(2, A::LeftY, 32767);
             k.releaseAll();
             k.button(1, B::B, false);
         },
         "+27 +40 -27 -40"},
    };
    for (const Case& c : cases) {
        std::string got;
        GamepadKeys keys([&](const platform::KeyEvent& e) {
            if (!got.empty()) got += ' ';
            got += e.pressed ? '+' : '-';
            got += e.rightSoftKey ? std::string("R") : std::to_string(e.keyCode);
        });
        c.play(keys);
        EXPECT_EQ(got, c.keys) << c.name;
    }
}

}  // namespace
