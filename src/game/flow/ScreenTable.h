// Which screen runs each state: the one place where a screen is wired in.
#pragma once

#include <map>

namespace game::flow {

struct Screen;

class ScreenTable {
public:
    static std::map<int, Screen> defaults();
};

}  // namespace game::flow
