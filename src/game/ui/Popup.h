// The pop-up band: a one-line message on a white band just above the
// softkey bar, edged with the border tiles of the world's frame sprite. It
// slides in from the right over kSlideMs, stays, and slides out to the
// left when closed. The stages and the level browser use it for hints.
// Frame thread only.
#pragma once

#include <string>

#include "game/ui/TextPanel.h"

namespace game {

class Popup {
public:
    using Graphics = javax::microedition::lcdui::Graphics;

    enum Phase : int { HIDDEN = 0, OPENING = 1, SHOWN = 2, CLOSING = 3 };
    static constexpr int kSlideMs = 1020;
    // A shown band's running timer wraps after this many ms.
    static constexpr int kShownCycleMs = 256;
    static constexpr int kBandColour = 0xFFFFFF;

    // Class-wide state, grouped so that tests can start clean.
    struct State {
        TextPanel panel;
        int phase = HIDDEN;
        int timer = 0;
        // Band height: the message font's height + 22.
        int extra = 0;
        // Set by whoever opened a hint that must follow the player (the
        // level browser rewrites the message after a move while it is set).
        bool marked = false;
        bool created = false;
    };
    static State& state();
    static void resetClassState();

    // The panel in text mode, style 8, its title in the message font;
    // hidden.
    static void create();
    // The message, centred; the band's place above the softkey bar.
    static void show(const std::string& text);
    static void open();
    // Slides out when opening or shown.
    static void close();
    // Gone at once.
    static void hide();
    static void update(int dt);
    static void draw(Graphics& g);

    static bool visible() { return state().phase != HIDDEN; }
    // The band's top edge (screen height - softkey bar - band height).
    static int bandTop();
    // 0 when nothing shows; 255 shown; timer / 4 while sliding.
    static int progress();
    // Horizontal offset of the band: from the screen width to 0 while
    // opening, 0 shown, from 0 to minus the screen width while closing.
    static int offset();
};

}  // namespace game
