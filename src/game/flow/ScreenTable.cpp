#include "game/flow/ScreenTable.h"

#include "game/audio/SoundPlayer.h"
#include "game/flow/BootLoader.h"
#include "game/flow/IntroStory.h"
#include "game/flow/LevelSelect.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/Menus.h"
#include "game/flow/Notices.h"
#include "game/flow/RewardScreen.h"
#include "game/flow/Splash.h"
#include "game/flow/StateMachine.h"
#include "game/stage/CrashScreen.h"
#include "game/stage/SwingScreen.h"
#include "game/ui/TextPanel.h"
#include "javax/microedition/lcdui/Graphics.h"

namespace game::flow {

std::map<int, Screen> ScreenTable::defaults() {
    std::map<int, Screen> t;
    t[STATE_MENU] = Menus::menuScreen();
    t[STATE_LOAD_DATA] = BootLoader::dataScreen();
    t[STATE_SPLASH] = Splash::screen();
    t[STATE_INTRO] = IntroStory::screen();
    t[STATE_WAIT] = LoadingScreen::screen();
    t[STATE_MORE_GAMES] = Menus::moreGamesScreen();
    t[STATE_RETURN] = Menus::returnScreen();
    t[STATE_GRADIENT].paint = [](javax::microedition::lcdui::Graphics& g) {
        TextPanel::gradient(g, 0, 0, 800, 600, 0xFF882A, 0xFFF587, 10);
    };
    t[STATE_RELOAD] = BootLoader::reloadScreen();
    t[STATE_BOOT] = BootLoader::bootScreen();
    t[STATE_LOADING] = LoadingScreen::screen();

    t[STATE_LEVEL_SELECT] = LevelSelect::screen();
    t[STATE_LEVEL_SELECT_INTRO] = LevelSelect::introScreen();
    t[STATE_BRIEFING] = Notices::briefing();
    t[STATE_REWARD] = RewardScreen::screen();
    for (int notice = STATE_NOTICE_RESET; notice <= STATE_NOTICE_PERFECT; ++notice) t[notice] = Notices::notice(notice);
    t[STATE_SWING_STAGE] = stage::SwingScreen::screen();
    t[STATE_CRASH_STAGE] = stage::CrashScreen::screen();
    return t;
}

}  // namespace game::flow
