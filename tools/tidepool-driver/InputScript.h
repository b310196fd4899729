// The driver's input script: one timed input per line,
//   FRAME key down|up NAME        (NAME as X key names: Up, Return, space, KP_5, a, F11 ...)
//   FRAME mouse move X Y
//   FRAME mouse down|up left|right|middle X Y
//   FRAME wheel up|down
//   FRAME focus out|in            (the window loses or gains the focus)
// X and Y are window pixels; "#" starts a comment.
#pragma once

#include <istream>
#include <map>
#include <string>
#include <vector>

#include "platform/Window.h"

namespace driver {

struct ScriptInput {
    int frame = 0;
    enum class Kind { Key, Mouse, Window } kind = Kind::Key;
    platform::KeyEvent key;
    platform::MouseEvent mouse;
    int windowEvent = 0;  // platform::WindowEventId
};

// Parses a script; raises std::runtime_error naming the line on bad input.
std::vector<ScriptInput> parseInputScript(std::istream& in);

// Random input for frames 1..frames from a seed: keys, clicks, moves,
// the wheel and focus changes, in the same order for the same seed.
std::vector<ScriptInput> monkeyInput(unsigned seed, int frames);

// PC virtual key code and location of an X key name; code 0 when unknown.
platform::KeyEvent keyFromName(const std::string& name);

}  // namespace driver
