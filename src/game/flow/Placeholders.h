// Plain screens for the two stages until they are built: a titled page
// over the menu background that says where FIRE and the softkeys lead.
// FIRE goes on to the next stage (the crash stage ends the level with one
// star), Back returns to the level select. A stage replaces its entry in
// ScreenTable.
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
    static Screen stage(int gameState);
};

}  // namespace game::flow
