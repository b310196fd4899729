// Building the game step by step, one step a frame, so that the screen
// keeps showing progress: the boot loader (STATE_BOOT, ends in the sound
// question), the data loader (STATE_LOAD_DATA, ends in the splash) and the
// reload of texts and menus (STATE_RELOAD, ends in the options).
#pragma once

#include <array>
#include <vector>

#include "game/ui/TextPanel.h"

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::flow {

struct Screen;

class BootLoader {
public:
    static constexpr int kProgressStep = 10;
    static constexpr int kTableEntry = 0x60043, kTableSize = 105;

    struct State {
        std::array<TextPanel::SpriteRef, 2> indicators;
        TextPanel spare;
        // Entries 1..105 of the table read by the data loader.
        std::vector<int> table;
    };
    static State& state();

    static Screen bootScreen();
    static Screen dataScreen();
    static Screen reloadScreen();

    // One boot step (progress 0, 10, ... 100).
    static void bootStep(int progress);
    // One data-loader step; returns the next progress.
    static int dataStep(int progress);
    // The softkey commands with their labels and priorities.
    static void buildCommandTable();
    // White screen with a small bar while progress is at most 100.
    static void paintProgress(javax::microedition::lcdui::Graphics& g);
};

}  // namespace game::flow
