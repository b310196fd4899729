// The menu panels: which texts, pictures, items, actions and softkeys each
// numbered menu has, the option rows shared by the options and the pause
// menu, and the values those rows show.
//
// Menus: 1 sound question, 2 main menu, 3 exit question, 4 pause menu,
// 5 options, 10 help, 11..14 help pages, 16..19 notices, 20 reset
// question, 21 briefing, 22 about, 24 quit-level question.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "game/ui/TextPanel.h"

namespace javax::microedition::lcdui {
class Image;
}

namespace game::flow {

class MenuPanels {
public:
    static constexpr int kMenus = 26;
    static constexpr int kMenuSprites = 19;
    static constexpr int kFirstMenuSprite = 0x50200;
    static constexpr int kSliderKnob = 0x60024, kChoiceSprite = 0x60036;
    static constexpr int kSoundPicture = 0x30095, kAboutPicture = 0x3009E;
    // Menu actions.
    enum Action : int {
        ACT_PLAY = 0x66,
        ACT_MORE_GAMES = 0x68,
        ACT_MUSIC = 0x6A,
        ACT_EFFECTS = 0x6B,
        ACT_RESUME = 0x6C,
        ACT_LOAD_DATA = 0x6D,
        ACT_VIBRATION = 0x6E,
        ACT_RESTART_LEVEL = 0x71,
        ACT_FULL_SCREEN = 0x72,
        ACT_QUIT_TO_LEVELS = 0x73,
    };
    // Option rows of menus 4 and 5.
    static constexpr int ROW_MUSIC = 3, ROW_EFFECTS = 4, ROW_FULL_SCREEN = 5, ROW_VIBRATION = 6;

    struct State {
        std::array<TextPanel, kMenus> panels;
        std::array<bool, kMenus> built{};
        std::array<int, kMenus> parents{};
        std::vector<TextPanel::SpriteRef> menuSprites;
        TextPanel::SpriteRef knob, choice;
        // 0, 1 the splash pictures, 2 the sound question's, 3 the title.
        std::array<std::shared_ptr<javax::microedition::lcdui::Image>, 4> screenImages;
        // The full-screen mode asked for and not yet in force.
        std::optional<bool> fullScreenRequested;
        // The stage the quit-level question was opened from.
        int questionStage = -1;
    };
    static State& state();

    // Null for a menu that was never built.
    static TextPanel* panel(int menu);

    // Menu 1 and the pictures it shows (boot).
    static void buildSoundQuestion();
    // Menus 2, 3, 5 and 22; with all also the rest.
    static void buildMenus(bool all);
    // Menus 10..14, 16..21 and 24; the option values; no softkeys.
    static void buildMoreMenus();
    // Menu 4 for the state it would return to.
    static void buildPauseMenu();
    // The 19 menu icons (data loader).
    static void loadMenuSprites();
    static void syncOptions();
    // The shell switched full screen itself (F11).
    static void fullScreenKeyPressed();
    // What the full-screen row shows: the mode asked for, else the one in force.
    static bool fullScreenShown();
    // The state the pause menu's "Resume" returns to, or STATE_NONE.
    static int resumeTarget();

private:
    static void buildOptions(TextPanel& p, bool pauseMenu);
    static void finish(int menu, int parent, int left, int right);
    static void createNotice(int menu, int textId);
    static void textMenu(int menu, int itemCount, int flags, int titleText);
};

}  // namespace game::flow
