// The level select (STATE_LEVEL_SELECT) and its slide-in
// (STATE_LEVEL_SELECT_INTRO): the browser over the menu background, moved
// by left/right (keys, wheel, clicks beside the selected level), FIRE by
// the level's grade (locked: nothing; open: play it; finished: the
// briefing first). Entering the level select saves the progress and runs
// the award check that leads to the notices.
#pragma once

namespace game::flow {

struct Screen;

class LevelSelect {
public:
    static constexpr int kSlideInMs = 512;

    struct State {
        int slideClock = 0;
        // -1 back, +1 forward, 0 none: taken by the next step.
        int moveRequest = 0;
        bool fireRequest = false;
        bool keyPressed = false;
    };
    static State& state();

    static Screen screen();
    static Screen introScreen();
    // What entering the level select owes the player: true when a notice
    // screen was requested instead.
    static bool awardCheck();
    // FIRE on the selected level.
    static void fire();
    // The band's downward shift while it slides in.
    static int slideShift();
};

}  // namespace game::flow
