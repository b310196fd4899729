// The picture story shown before the first visit to the level select
// (STATE_INTRO): pages of pictures, each picture with a caption box that
// opens, stays and closes; pictures of a page slide sideways, pages slide
// up. Any key, a click or "Skip" ends it; then the level select loads.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::flow {

struct Screen;

class IntroStory {
public:
    // Pictures by page; caption k belongs to the k-th picture shown.
    static constexpr std::array<std::array<int, 2>, 2> kPages = {{{0x20002, 0x20003}, {0x20004, 0x20005}}};
    static constexpr int kFirstCaption = 119;
    static constexpr int kDelayFrames = 4;
    // How long each phase lasts (ms).
    static constexpr std::array<int, 8> kPhaseMs = {1400, 600, 300, 3600, 300, 500, 500, 1400};
    static constexpr int kBackground = 0xB1E1F5;
    static constexpr int kBoxColour = 0xFFF1D0, kInkColour = 0x1B1B2F;

    struct State {
        int delay = kDelayFrames;
        int phase = 0;
        int clock = 0;
        int page = 0, picture = 0;
        int caption = 0;
        std::vector<std::string> lines;
        int boxHeight = 0;
        bool over = false;
    };
    static State& state();

    static Screen screen();
    // Advances the story by ms.
    static void advance(int ms);
    static void paint(javax::microedition::lcdui::Graphics& g);

private:
    static void endPhase();
};

}  // namespace game::flow
