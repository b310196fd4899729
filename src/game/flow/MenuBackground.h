// The picture behind the menus: the theme's sky above a horizon at four
// fifths of the screen, its sea below, and its backdrop strips drifting
// along the horizon. The briefing and the level select keep it in the
// world's screen-sized picture and draw it again only when marked.
#pragma once

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::flow {

class MenuBackground {
public:
    using Graphics = javax::microedition::lcdui::Graphics;
    // Periods of the two strips' drift.
    static constexpr int kPeriods[2] = {4000, 10000};

    static void draw(Graphics& g);
    // Into the world's picture when it is marked for a redraw; then that
    // picture to the screen.
    static void drawCached(Graphics& g);
    // The drift clock.
    static void advance(int ms);
    // Left edge of the first copy of a strip of width w at the clock.
    static int stripOffset(int clock, int period, int w);
};

}  // namespace game::flow
