// The swing stage as the state machine runs it in state 1001: its setup
// steps run by the loading transition, its entry, a step taken from the
// step accumulator each frame, its drawing and keys, and what the stage
// asks for (the crash stage, the level select, the bonus level's end, the
// pause menu) done through the machine.
#pragma once

namespace game::flow {
struct Screen;
}

namespace game::stage {

class SwingScreen {
public:
    static flow::Screen screen();
    // Carries out the stage's request, if any.
    static void followRequest();
};

}  // namespace game::stage
