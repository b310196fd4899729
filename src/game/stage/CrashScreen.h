// The crash stage as the state machine's screen for state 1002: the
// loading transition runs its setup steps, the state's frames, drawing and
// keys go to the stage, and what the stage asks for (the end of the level,
// a retry from the swing stage, the level select, the pause menu) becomes
// a request to the machine.
#pragma once

namespace game::flow {
struct Screen;
}

namespace game::stage {

class CrashScreen {
public:
    static flow::Screen screen();
    // Acts on the stage's request, if any (after each frame and key).
    static void serveRequest();
};

}  // namespace game::stage
