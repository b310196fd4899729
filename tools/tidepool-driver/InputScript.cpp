#include "InputScript.h"

#include <algorithm>
#include <random>
#include <sstream>
#include <stdexcept>

namespace driver {

platform::KeyEvent keyFromName(const std::string& name) {
    platform::KeyEvent k;
    static const std::map<std::string, std::pair<int, int>> named = {
        {"BackSpace", {8, 1}}, {"Tab", {9, 1}},       {"Return", {10, 1}},    {"KP_Enter", {10, 4}},
        {"Shift_L", {16, 2}},  {"Shift_R", {16, 3}},  {"shift", {16, 2}},     {"Control_L", {17, 2}},
        {"Control_R", {17, 3}}, {"ctrl", {17, 2}},    {"Alt_L", {18, 2}},     {"Alt_R", {18, 3}},
        {"alt", {18, 2}},      {"Escape", {27, 1}},   {"space", {32, 1}},     {"Prior", {33, 1}},
        {"Next", {34, 1}},     {"End", {35, 1}},      {"Home", {36, 1}},      {"Left", {37, 1}},
        {"Up", {38, 1}},       {"Right", {39, 1}},    {"Down", {40, 1}},      {"Delete", {127, 1}},
        {"Insert", {155, 1}},
    };
    if (auto it = named.find(name); it != named.end()) {
        k.keyCode = it->second.first;
        k.keyLocation = it->second.second;
    } else if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z'))) {
        k.keyCode = std::toupper(static_cast<unsigned char>(name[0]));
    } else if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
        k.keyCode = name[0];
    } else if (name.size() == 4 && name.rfind("KP_", 0) == 0 && name[3] >= '0' && name[3] <= '9') {
        k.keyCode = 96 + (name[3] - '0');
        k.keyLocation = 4;
    } else if (name.size() >= 2 && name[0] == 'F') {
        int n = std::atoi(name.c_str() + 1);
        if (n >= 1 && n <= 12 && name == "F" + std::to_string(n)) k.keyCode = 111 + n;
    }
    return k;
}

std::vector<ScriptInput> parseInputScript(std::istream& in) {
    std::vector<ScriptInput> inputs;
    std::string line;
    int lineNo = 0;
    int x = 0, y = 0;
    int buttons = 0;
    auto fail = [&](const std::string& why) {
        throw std::runtime_error("input script line " + std::to_string(lineNo) + ": " + why);
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;
        ScriptInput input;
        try {
            std::size_t used = 0;
            input.frame = std::stoi(w[0], &used);
            if (used != w[0].size() || input.frame < 0) fail("bad frame number " + w[0]);
        } catch (const std::logic_error&) {
            fail("bad frame number " + w[0]);
        }
        if (!inputs.empty() && input.frame < inputs.back().frame) fail("frames must not go back");
        auto number = [&](std::size_t i) {
            if (i >= w.size()) fail("missing number");
            try {
                std::size_t used = 0;
                int v = std::stoi(w[i], &used);
                if (used != w[i].size()) fail("bad number " + w[i]);
                return v;
            } catch (const std::logic_error&) {
                fail("bad number " + w[i]);
            }
            return 0;
        };
        if (w.size() == 4 && w[1] == "key" && (w[2] == "down" || w[2] == "up")) {
            input.kind = ScriptInput::Kind::Key;
            input.key = keyFromName(w[3]);
            if (input.key.keyCode == 0) fail("unknown key " + w[3]);
            input.key.pressed = w[2] == "down";
        } else if (w.size() == 5 && w[1] == "mouse" && w[2] == "move") {
            input.kind = ScriptInput::Kind::Mouse;
            x = number(3);
            y = number(4);
            input.mouse.type = buttons ? platform::MouseEvent::Type::Dragged : platform::MouseEvent::Type::Moved;
            input.mouse.x = x;
            input.mouse.y = y;
        } else if (w.size() == 6 && w[1] == "mouse" && (w[2] == "down" || w[2] == "up")) {
            input.kind = ScriptInput::Kind::Mouse;
            const bool down = w[2] == "down";
            input.mouse.type = down ? platform::MouseEvent::Type::Pressed : platform::MouseEvent::Type::Released;
            if (w[3] == "left")
                input.mouse.button = 1;
            else if (w[3] == "middle")
                input.mouse.button = 2;
            else if (w[3] == "right")
                input.mouse.button = 3;
            else
                fail("unknown button " + w[3]);
            x = number(4);
            y = number(5);
            input.mouse.x = x;
            input.mouse.y = y;
            buttons += down ? 1 : -1;
            if (buttons < 0) buttons = 0;
        } else if (w.size() == 3 && w[1] == "wheel" && (w[2] == "up" || w[2] == "down")) {
            input.kind = ScriptInput::Kind::Mouse;
            input.mouse.type = platform::MouseEvent::Type::Wheel;
            input.mouse.wheelRotation = w[2] == "up" ? -1 : 1;
            input.mouse.x = x;
            input.mouse.y = y;
        } else if (w.size() == 3 && w[1] == "focus" && (w[2] == "out" || w[2] == "in")) {
            input.kind = ScriptInput::Kind::Window;
            input.windowEvent = w[2] == "out" ? platform::WindowLostFocus : platform::WindowGainedFocus;
        } else {
            fail("cannot read \"" + line + "\"");
        }
        inputs.push_back(input);
    }
    return inputs;
}

std::vector<ScriptInput> monkeyInput(unsigned seed, int frames) {
    std::mt19937 random(seed);
    auto chance = [&](int n) { return static_cast<int>(random() % 1000) < n; };
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    static const char* const keys[] = {"Up", "Down", "Left", "Right", "Return", "space", "Escape", "BackSpace",
                                       "KP_5", "KP_2", "KP_8", "F11", "a"};
    constexpr int kKeys = sizeof keys / sizeof keys[0];
    std::vector<ScriptInput> inputs;
    std::vector<int> held;
    bool focused = true;
    int x = 400, y = 300;
    for (int frame = 1; frame <= frames; ++frame) {
        auto add = [&](ScriptInput in) {
            in.frame = frame;
            inputs.push_back(in);
        };
        if (chance(120)) {
            ScriptInput in;
            const int k = pick(kKeys);
            in.key = keyFromName(keys[k]);
            const bool isHeld = std::find(held.begin(), held.end(), k) != held.end();
            in.key.pressed = !isHeld;
            if (isHeld)
                std::erase(held, k);
            else
                held.push_back(k);
            add(in);
        }
        if (chance(60)) {
            ScriptInput in;
            in.kind = ScriptInput::Kind::Mouse;
            x = pick(800);
            y = chance(300) ? 585 + pick(15) : pick(600);
            in.mouse.x = x;
            in.mouse.y = y;
            const int what = pick(4);
            if (what == 0) {
                in.mouse.type = platform::MouseEvent::Type::Moved;
                add(in);
            } else if (what == 1) {
                in.mouse.type = platform::MouseEvent::Type::Wheel;
                in.mouse.wheelRotation = chance(500) ? -1 : 1;
                add(in);
            } else {
                in.mouse.button = what == 2 ? 1 : 3;
                in.mouse.type = platform::MouseEvent::Type::Pressed;
                add(in);
                in.mouse.type = platform::MouseEvent::Type::Released;
                add(in);
            }
        }
        // Focus changes, several frames apart (the shell ignores closer ones).
        if (frame % 5 == 0 && chance(focused ? 15 : 300)) {
            ScriptInput in;
            in.kind = ScriptInput::Kind::Window;
            focused = !focused;
            in.windowEvent = focused ? platform::WindowGainedFocus : platform::WindowLostFocus;
            add(in);
        }
    }
    return inputs;
}

}  // namespace driver
