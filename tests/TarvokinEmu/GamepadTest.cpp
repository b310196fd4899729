// A gamepad through the real window system: SDL's virtual pad, plugged into
// the program while the test card runs (the harness's PadCard plays a fixed
// script). Each pad input must reach the card as the key it stands for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "TarvokinEmu/Emulator.h"
#include "platform/KeyCodes.h"
#include "support/Subprocess.h"

namespace {

using testsupport::runProcess;

// The key lines the card printed after each "pad ..." line, sorted (a step
// that lets go of several keys at once may do so in any order).
std::map<std::string, std::vector<std::string>> stepsOf(const testsupport::ProcessResult& r) {
    std::map<std::string, std::vector<std::string>> steps;
    std::vector<std::string>* current = nullptr;
    for (const std::string& line : r.outLines()) {
        if (line.rfind("pad ", 0) == 0) current = &steps[line.substr(4)];
        else if (current && line.rfind("key", 0) == 0) current->push_back(line);
    }
    for (auto& [name, lines] : steps) std::sort(lines.begin(), lines.end());
    return steps;
}

// The lines a key press and release give, as the keyboard's key gives them.
std::vector<std::string> lines(std::vector<std::pair<const char*, int>> calls) {
    std::vector<std::string> out;
    for (auto [call, code] : calls) out.push_back(std::string(call) + " " + std::to_string(code));
    std::sort(out.begin(), out.end());
    return out;
}

int keyOf(int pcKey) { return *TarvokinEmu::Emulator::phoneKeyCode(pcKey, platform::pc::kStandard); }

TEST(Gamepad, VirtualPadReachesTheCardAsTheKeysItStandsFor) {
    namespace pc = platform::pc;
    const std::string dir = testsupport::makeTempDir("pad");
    testsupport::ProcessOptions o;
    o.workDir = dir;
    // The dummy video driver gives the window no focus; pads then count only
    // with background events allowed.
    o.env = {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}, {"SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1"}};
    o.timeoutMs = 30000;
    auto r = runProcess(EMULATOR_HARNESS, {"-MIDletClass", "PadCard"}, o);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(r.exitStatus, 0) << r.out << r.err;

    const int enter = keyOf(pc::kEnter), escape = keyOf(pc::kEscape), up = keyOf(pc::kUp), down = keyOf(pc::kDown),
              left = keyOf(pc::kLeft), right = keyOf(pc::kRight);
    const int start = platform::phone::kRightSoftKey;
    const std::map<std::string, std::vector<std::string>> want = {
        {"A", lines({{"keyPressed", enter}, {"keyReleased", enter}})},
        {"B", lines({{"keyPressed", escape}, {"keyReleased", escape}})},
        {"Back", lines({{"keyPressed", escape}, {"keyReleased", escape}})},
        {"Start", lines({{"keyPressed", start}, {"keyReleased", start}})},
        {"D-pad", lines({{"keyPressed", up}, {"keyReleased", up}, {"keyPressed", down}, {"keyReleased", down},
                         {"keyPressed", left}, {"keyReleased", left}, {"keyPressed", right}, {"keyReleased", right}})},
        // The dead zone gives nothing; a stick between the two thresholds
        // keeps what it holds.
        {"stick", lines({{"keyPressed", right}, {"keyReleased", right}})},
        // Two inputs on one key: one press, and the release with the last.
        {"stick and D-pad", lines({{"keyPressed", left}, {"keyReleased", left}, {"keyPressed", escape},
                                   {"keyReleased", escape}})},
        {"unplugged", lines({{"keyPressed", enter}, {"keyPressed", down}, {"keyReleased", enter}, {"keyReleased", down}})},
        {"plugged again", lines({{"keyPressed", enter}, {"keyReleased", enter}})},
        {"done", {}},
    };
    EXPECT_EQ(stepsOf(r), want) << r.out;
}

}  // namespace
