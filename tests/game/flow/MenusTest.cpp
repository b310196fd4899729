// Menus: play routing, options and their saving, the pause menu.
#include "FlowTestSupport.h"
#include "com/tkemuapi/Util.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/Menus.h"
#include "game/save/SavedGame.h"
#include "game/ui/ScreenEffects.h"

namespace {

using namespace game::flow;
using flowtest::FlowTest;
using game::SavedGame;
using game::TextPanel;

TEST_F(FlowTest, PlayGoesToTheIntroTheRewardOrTheLevelSelect) {
    struct Case {
        bool introSeen;
        int unlockCount, unlockMask, stars, target;
    };
    for (const Case& c : {Case{false, 0, 0, 30, STATE_INTRO}, Case{true, 0, 0, 6, STATE_LEVEL_SELECT},
                          Case{true, 0, 0, 7, STATE_REWARD}, Case{true, 1, 1, 17, STATE_REWARD},
                          Case{true, 1, 1, 16, STATE_LEVEL_SELECT},
                          // Every item that can be offered is taken: never the reward.
                          Case{true, 8, 0x1BF, 81, STATE_LEVEL_SELECT}}) {
        // Saved by the game, read back by its data loader.
        game::format::Progress p = SavedGame::defaultProgress();
        p.progressFlags[2] = c.introSeen;
        p.unlockCount = c.unlockCount;
        p.unlockMask = c.unlockMask;
        p.totalStars = c.stars;
        for (int level = 1; level <= 27 && level * 3 <= c.stars; ++level) p.levelGrade[static_cast<std::size_t>(level)] = 4;
        resetGame();
        ASSERT_TRUE(SavedGame::saveProgress(p));
        bootToMainMenu();
        MenuPanels::panel(2)->selectItem(1);
        press(FIRE);
        frames(2);
        EXPECT_EQ(StateMachine::current(), STATE_LOADING);
        EXPECT_EQ(LoadingScreen::state().target, c.target) << c.stars << " stars, " << c.unlockCount << " unlocked";
    }
    // Item 6 is never offered: with it and six others, one is still on offer.
    EXPECT_TRUE(Menus::anythingOnOffer(0x7F));
    EXPECT_FALSE(Menus::anythingOnOffer(0x1BF));
}

TEST_F(FlowTest, OptionsPlayTheirPreviewAndAreSavedOnTheWayBack) {
    bootToMainMenu();
    StateMachine::gotoMenu(5);
    frame();
    TextPanel& options = *MenuPanels::panel(5);
    options.selectItem(MenuPanels::ROW_MUSIC);
    sounds();
    press(RIGHT);  // music 4
    frame();
    EXPECT_EQ(game::SoundPlayer::getMusicVolume(), 4);
    EXPECT_EQ(game::SoundPlayer::getEffectsVolume(), 3) << "the effects volume is back after the preview";
    EXPECT_NE(sounds().find("#7 audio/wav start loops=1 level=80"), std::string::npos);
    // With the effects off the music has no preview.
    options.selectItem(MenuPanels::ROW_EFFECTS);
    for (int i = 0; i < 3; ++i) {
        press(LEFT);
        frame();
    }
    options.selectItem(MenuPanels::ROW_MUSIC);
    sounds();
    press(LEFT);
    frame();
    EXPECT_EQ(sounds().find("audio/wav start"), std::string::npos);
    EXPECT_TRUE(StateMachine::state().settingsDirty);
    EXPECT_EQ(SavedGame::loadSettings()->musicVolume, 3) << "not saved yet";

    command(CMD_BACK);
    frames(4);
    EXPECT_EQ(StateMachine::current(), STATE_MENU);
    EXPECT_EQ(menu(), 2);
    EXPECT_EQ(SavedGame::loadSettings(), (game::format::Settings{3, 0, false}));
    EXPECT_FALSE(StateMachine::state().settingsDirty);
}

TEST_F(FlowTest, FullScreenAndVibrationShowWhatWasChosen) {
    bootToMainMenu();
    StateMachine::gotoMenu(5);
    frame();
    TextPanel& options = *MenuPanels::panel(5);
    const bool before = com::tkemuapi::Util::isFullScreen();
    Menus::onItem(5, MenuPanels::ACT_FULL_SCREEN);
    // The switch happens later on the window's thread; the row shows the choice now.
    EXPECT_EQ(options.itemValue(MenuPanels::ROW_FULL_SCREEN), before ? 0 : 1);
    EXPECT_EQ(MenuPanels::panel(4)->itemValue(MenuPanels::ROW_FULL_SCREEN), before ? 0 : 1);
    options.setItemValue(MenuPanels::ROW_VIBRATION, 1);
    Menus::onItem(5, MenuPanels::ACT_VIBRATION);
    EXPECT_TRUE(game::ScreenEffects::vibration());
    EXPECT_TRUE(game::ScreenEffects::shaking());
}

TEST_F(FlowTest, PauseMenuOffersWhatTheStateItInterruptedAllows) {
    bootToMainMenu();
    struct Case {
        int from;
        bool resume, stageItems;
    };
    for (const Case& c : {Case{STATE_LEVEL_SELECT, true, false}, Case{STATE_SWING_STAGE, true, true},
                          Case{STATE_CRASH_STAGE, true, true}, Case{STATE_RETURN, false, false},
                          Case{STATE_LOADING, false, false}}) {
        StateMachine::state().state = c.from;
        StateMachine::gotoMenu(4);
        frame();
        const TextPanel& pause = *MenuPanels::panel(4);
        EXPECT_EQ(pause.item(0).type == TextPanel::ITEM_ACTION, c.resume) << c.from;
        EXPECT_EQ(pause.item(7).type == TextPanel::ITEM_ACTION, c.stageItems) << c.from;
        EXPECT_EQ(pause.item(8).type == TextPanel::ITEM_ACTION, c.stageItems) << c.from;
    }

    // From a stage: back asks first; "No" returns to the stage's pause menu.
    StateMachine::state().state = STATE_SWING_STAGE;
    StateMachine::gotoMenu(4);
    frame();
    command(CMD_PAUSE_BACK);
    frames(2);
    EXPECT_EQ(menu(), 24);
    command(CMD_NO);
    frames(2);
    EXPECT_EQ(menu(), 4);
    EXPECT_EQ(MenuPanels::panel(4)->item(8).type, TextPanel::ITEM_ACTION);
    // Resume goes back to the stage; changed settings go through STATE_RETURN and are saved.
    StateMachine::state().settingsDirty = true;
    game::SoundPlayer::setEffectsVolume(1);
    Menus::onItem(4, MenuPanels::ACT_RESUME);
    frames(3);
    EXPECT_EQ(StateMachine::current(), STATE_SWING_STAGE);
    EXPECT_EQ(SavedGame::loadSettings()->effectsVolume, 1);

    // Restart and quit save changed settings before they leave.
    for (int act : {MenuPanels::ACT_RESTART_LEVEL, MenuPanels::ACT_QUIT_TO_LEVELS}) {
        StateMachine::gotoMenu(4);
        frame();
        game::SoundPlayer::setEffectsVolume(act == MenuPanels::ACT_RESTART_LEVEL ? 2 : 4);
        StateMachine::state().settingsDirty = true;
        Menus::onItem(4, act);
        frame();
        EXPECT_EQ(StateMachine::current(), STATE_LOADING);
        EXPECT_EQ(LoadingScreen::state().target,
                  act == MenuPanels::ACT_RESTART_LEVEL ? STATE_SWING_STAGE : STATE_LEVEL_SELECT);
        EXPECT_EQ(SavedGame::loadSettings()->effectsVolume, act == MenuPanels::ACT_RESTART_LEVEL ? 2 : 4);
        StateMachine::state().state = STATE_SWING_STAGE;
    }
}

TEST_F(FlowTest, QuestionsAskBeforeTheyActAndEveryMenuHasAWayBack) {
    bootToMainMenu();
    // Exit: No goes back to the main menu.
    command(CMD_EXIT);
    frames(2);
    EXPECT_EQ(menu(), 3);
    command(CMD_NO);
    frames(2);
    EXPECT_EQ(menu(), 2);
    // Reset progress: only Yes deletes it.
    auto& p = game::Brindle::shared().progress;
    p.totalStars = 12;
    SavedGame::saveProgress(p);
    for (int answer : {CMD_NO, CMD_YES}) {
        StateMachine::gotoMenu(20);
        frame();
        command(answer);
        frames(2);
        EXPECT_EQ(menu(), answer == CMD_NO ? 5 : 2);
        EXPECT_EQ(p.totalStars, answer == CMD_NO ? 12 : 0);
    }
    // Every menu a player can open leads back (or on) with its right softkey.
    for (int m : {5, 10, 11, 12, 13, 14, 22}) {
        StateMachine::gotoMenu(m);
        frame();
        const int right = MenuPanels::panel(m)->softkeyCommand(1);
        EXPECT_NE(right, -1) << m;
        command(right);
        frames(3);
        EXPECT_NE(menu(), m) << m;
    }
}

}  // namespace
