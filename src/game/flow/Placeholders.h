// Plain screens for the states whose screens are not built yet: a titled
// page over the menu background that says where FIRE and the softkeys
// lead. The level select starts the level under the selection, the
// stages go on to the next stage, and Back leaves.
#pragma once

#include <string>

namespace game::flow {

struct Screen;

class Placeholders {
public:
    // FIRE goes to fireTarget through the loading screen (STATE_NONE: no
    // FIRE), Back to backTarget (a state, or STATE_MENU for the main
    // menu); command 9 opens the pause menu; music is the state's tune.
    static Screen page(int gameState, const std::string& title, int fireTarget, int backTarget, int music);
    static Screen levelSelect();
    static Screen stage(int gameState);
};

}  // namespace game::flow
