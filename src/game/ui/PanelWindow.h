// Two drawing operations the screens around the stages share:
//
// drawPanelWindow: a text panel in a framed window that grows from the
// screen centre over kGrowMs and then stands at the panel's place; the
// frame is built from the world's frame sprite (frames 0 and 4 along the
// top and bottom, 6 and 2 down the left and right, 7, 1, 3, 5 the corners
// from the top left clockwise, each piece as large as its frame's first
// box). The panel is drawn once the window has grown, moved by an offset
// that depends on the screen in force.
//
// revealLoading: the loading screen's colour recedes in wavy strips.
//
// Frame thread only.
#pragma once

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game {

class TextPanel;

class PanelWindow {
public:
    using Graphics = javax::microedition::lcdui::Graphics;

    static constexpr int kGrowMs = 512;
    static constexpr int kInsideColour = 0xF1E9C1;
    static constexpr int kGradientTop = 0xE8E8E8;
    static constexpr int kGradientStep = 5;
    // Below the window's centre while it grows.
    static constexpr int kGrowDrop = 27;
    // The loading screen's background.
    static constexpr int kLoadingColour = 0xFFBA56;

    struct Rect {
        int x = 0, y = 0, w = 0, h = 0;
        bool operator==(const Rect&) const = default;
    };

    // The window around p, t ms after it opened.
    static Rect windowRect(const TextPanel& p, int t);
    // Where the panel is drawn relative to its origin, by game state.
    static Rect panelOffset(int gameState);

    // t in ms since the window opened; gradient: the inside shades from
    // light grey at the top instead of a flat fill.
    static void drawPanelWindow(Graphics& g, TextPanel& p, int t, bool gradient);
    // The frame around the rectangle and its inside filled (or shaded).
    static void drawWindow(Graphics& g, const Rect& r, bool gradient);
    // The pop-up band's edges: the top and bottom frame pieces along a band.
    static void drawBandEdges(Graphics& g, int x, int y, int w, int h);

    // progress 0 (all covered) .. 256 (all gone). Style 3 uses vertical
    // strips 4 px wide rising from the bottom; every other style
    // horizontal strips 5 px high receding to the left, the wave's start,
    // amplitude and step by style.
    static void revealLoading(Graphics& g, int progress, int style);
};

}  // namespace game
