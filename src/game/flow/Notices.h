// The screens that show one panel in a window over a still background:
// the notices (states 6..9: the reset question after the last level, the
// game finished, every level finished, every level at three stars) and
// the level briefing (21) shown before a finished level is replayed.
#pragma once

#include <string>
#include <vector>

#include "game/SpriteSheet.h"

namespace game::flow {

struct Screen;

class Notices {
public:
    static constexpr int kBackground = 0xF7F8E1;
    static constexpr int kNoticeSprite = 0x50065;
    static constexpr int kFinishedText = 75;

    struct State {
        // Since the panel's window opened (ms).
        int panelTimer = 0;
        std::shared_ptr<SpriteSheet> sprite;
        std::vector<std::string> lines;
        // FIRE was pressed since the last frame.
        bool fire = false;
    };
    static State& state();

    // State 6, 7, 8 or 9.
    static Screen notice(int gameState);
    static Screen briefing();
    // The panel a notice state shows (16..19).
    static int panelOf(int gameState) { return gameState + 10; }
};

}  // namespace game::flow
