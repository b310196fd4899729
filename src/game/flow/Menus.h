// The menu screen (STATE_MENU): the panel of the open menu takes the keys
// and the pointer, and what the player chose there happens here: play
// routing, options, the questions, the pause menu. Also STATE_RETURN (go
// somewhere and save the settings) and STATE_MORE_GAMES.
#pragma once

namespace game::flow {

struct Screen;

class Menus {
public:
    // The project's home page ("more games").
    static constexpr const char* kMoreGamesUrl = "https://example.org/tidepool-dash/?aid=71&iid=0&type=menu";
    static constexpr int kVolumePreview = 0x30007;
    static constexpr int kBonusItems = 9;
    // Every bonus item that can be offered, unlocked.
    static constexpr int kMaxUnlocks = 8;

    static Screen menuScreen();
    static Screen returnScreen();
    static Screen moreGamesScreen();

    // Goes to state (or, when 0, to menu) through STATE_RETURN, which saves
    // the settings.
    static void returnTo(int state, int menu);
    // Play: the intro until it was seen, the reward screen when one is due
    // and something is left to offer, else the level select.
    static void play();
    static int starsForNextReward(int unlockCount);
    // Whether bonus item k (0..8) would be offered with this unlock mask.
    static bool onOffer(int item, int unlockMask);
    static bool anythingOnOffer(int unlockMask);

    static void onItem(int menu, int action);
    static void onCommand(int menu, int command);

private:
    static void onMenuFrame(int frameMs);
    static void saveSettingsNow();
};

}  // namespace game::flow
