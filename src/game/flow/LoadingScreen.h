// The loading transition: loadThen(target) shows the loading screen
// (STATE_LOADING) for at least kMinFrames frames with a bar, then lets the
// target's screen load itself in sub-steps (Screen::loadStep), then makes
// the target the state in force.
#pragma once

#include "game/SpriteSheet.h"

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::flow {

struct Screen;

class LoadingScreen {
public:
    static constexpr int kMinFrames = 106;
    // Sub-steps of the target that move the bar.
    static constexpr int kExtraSteps = 12;
    static constexpr int kBackground = 0xFFBA56;
    static constexpr int kBarColour = 0xFFEFB7;
    static constexpr int kOutlineColour = 0xFFFFFF;
    static constexpr int kPictures[4] = {0x50063, 0x50069, 0x400E4, 0x400B4};

    struct State {
        int total = kMinFrames, step = 0, extra = 0, counter = 0;
        int target = -1;
        int subStep = 0;
        // The screen has been drawn since loadThen.
        bool drawn = false;
        bool picturePicked = false;
        SpriteSheet picture;
    };
    static State& state();

    // Closes the music, prepares the target and requests STATE_LOADING.
    static void loadThen(int target);
    static Screen screen();

    // The bar, value of max (clamped), at the bottom of the screen.
    static void drawBar(javax::microedition::lcdui::Graphics& g, int value, int max);

private:
    static void update();
    static void paint(javax::microedition::lcdui::Graphics& g);
};

}  // namespace game::flow
