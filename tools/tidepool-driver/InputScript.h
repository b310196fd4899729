// The driver's input script: one timed input per line,
//   FRAME key down|up NAME        (NAME as X key names: Up, Return, space, KP_5, a, F11 ...)
//   FRAME mouse move X Y
//   FRAME mouse down|up left|right|middle X Y
//   FRAME wheel up|down
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
    enum class Kind { Key, Mouse } kind = Kind::Key;
    platform::KeyEvent key;
    platform::MouseEvent mouse;
};

// Parses a script; raises std::runtime_error naming the line on bad input.
std::vector<ScriptInput> parseInputScript(std::istream& in);

// PC virtual key code and location of an X key name; code 0 when unknown.
platform::KeyEvent keyFromName(const std::string& name);

}  // namespace driver
