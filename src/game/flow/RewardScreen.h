// The reward screen (STATE_REWARD): once enough stars are earned, the
// player picks one bonus item. The loading colour recedes, the list of the
// items on offer opens in a window, the selected item's description shows
// below it, and FIRE or "Take" unlocks the item, saves, and goes on to the
// level select. With nothing left to offer it goes there at once.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "game/ui/TextPanel.h"

namespace game::flow {

struct Screen;

class RewardScreen {
public:
    static constexpr int kItems = 9;
    static constexpr int kTitleText = 55;
    // Per bonus item: label text, sprite, description text (-1: never offered).
    static constexpr std::array<int, kItems> kLabels = {56, 58, 60, 64, 62, 66, -1, 72, 70};
    static constexpr std::array<int, kItems> kSprites = {0x50076, 0x50078, 0x50070, 0x50074, 0x5007A,
                                                         0x5007E, -1,      0x5007C, 0x50072};
    static constexpr std::array<int, kItems> kDescriptions = {57, 59, 61, 65, 63, 67, 69, 73, 71};
    // Presentation steps.
    enum Step : int { REVEAL = 0, OPENING = 1, CHOOSING = 2, TAKEN = 3, LEAVING = 4 };
    static constexpr int kRevealMs = 500, kOpenMs = 1000, kTakenMs = 1000;

    struct State {
        TextPanel panel;
        int step = REVEAL;
        int clock = 0;
        int yOffset = 0;
        int shownItem = -1;
        std::vector<std::string> description;
    };
    static State& state();

    static Screen screen();
    // The panel of the items on offer by the progress's unlock mask.
    static void buildPanel();
    // Unlocks bonus item k: its bit in the mask, one more in the count.
    static void take(int item);
};

}  // namespace game::flow
