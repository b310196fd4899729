// The logo sequence (STATE_SPLASH), 7 s: the first picture grows and fades
// in, stands, shrinks and fades out; the second fades in and stands; then
// the main menu. FIRE skips to the next phase boundary.
#pragma once

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::flow {

struct Screen;

class Splash {
public:
    static constexpr int kLengthMs = 7000;

    struct State {
        int clock = 0;
    };
    static State& state();

    static Screen screen();
    // Where FIRE at clock t jumps to.
    static int skipTarget(int t);
    static void paint(javax::microedition::lcdui::Graphics& g);

private:
    static void update();
};

}  // namespace game::flow
