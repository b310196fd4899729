// The state machine: the boot path, requests and steps, lifecycle, the
// loading transition, the splash and the intro.
#include "FlowTestSupport.h"
#include "game/flow/IntroStory.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/Splash.h"
#include "game/save/SavedGame.h"

namespace {

using namespace game::flow;
using flowtest::FlowTest;
using game::GameMidlet;
using game::SavedGame;

TEST_F(FlowTest, SoundQuestionAnswerSetsTheVolumesAndBootEndsInTheMainMenuWithItsTune) {
    struct Case {
        int command, volume;
    };
    for (const Case& c : {Case{CMD_YES, 3}, Case{CMD_NO, 0}}) {
        resetGame();
        game::SoundPlayer::closeAll();
        seen_.clear();
        sounds();
        StateMachine::onLifecycle(GameMidlet::LIFECYCLE_STARTED);
        runUntil(STATE_MENU);
        EXPECT_EQ(runUntil(STATE_MENU), 1);
        EXPECT_EQ(menu(), 1);
        command(c.command);
        runUntil(STATE_SPLASH);
        const int splashFrames = runUntil(STATE_MENU, 500);
        EXPECT_EQ(splashFrames, Splash::kLengthMs / 20);
        frames(30);
        EXPECT_EQ(menu(), 2);
        EXPECT_EQ(seen_, (std::vector<int>{STATE_BOOT, STATE_MENU, STATE_RETURN, STATE_LOAD_DATA, STATE_SPLASH, STATE_MENU}));
        EXPECT_EQ(SavedGame::loadSettings(), (game::format::Settings{c.volume, c.volume, false}));
        const std::string log = sounds();
        // Started once, not again every frame.
        std::size_t starts = 0;
        for (std::size_t at = 0; (at = log.find("#20 audio/mpeg start loops=-1 level=60", at)) != std::string::npos; ++at)
            ++starts;
        EXPECT_EQ(starts, c.volume != 0 ? 1u : 0u) << log;
        EXPECT_EQ(log.find("start") != std::string::npos, c.volume != 0) << log;
    }
}

TEST_F(FlowTest, RequestsChangeTheStateOnTheNextFrameAndTimedStatesTakeCappedSteps) {
    bootToMainMenu();
    auto& m = StateMachine::state();
    m.keyBits = KEY_FIRE;
    StateMachine::setState(STATE_GRADIENT);
    EXPECT_EQ(StateMachine::current(), STATE_MENU);
    frame();
    EXPECT_EQ(StateMachine::current(), STATE_GRADIENT);
    EXPECT_EQ(m.keyBits, 0);
    // Leaving a menu, the previous state is the one the menu was opened from.
    EXPECT_EQ(m.previousState, STATE_SPLASH);

    // The reload rebuilds the commands and menus and ends in the options.
    StateMachine::setState(STATE_RELOAD);
    runUntil(STATE_RETURN);
    runUntil(STATE_MENU);
    frame();
    EXPECT_EQ(menu(), 5);

    struct Step {
        std::vector<int> frames;
        int step;
    };
    for (const Step& s : {Step{{20}, 0}, Step{{10, 10}, 0}, Step{{15, 10}, 25}, Step{{90, 90, 90}, 200}, Step{{700}, 200}}) {
        m.stepAccumulator = 0;
        for (int f : s.frames) m.stepAccumulator += f;
        EXPECT_EQ(StateMachine::takeStep(), s.step);
        EXPECT_EQ(m.stepAccumulator, s.step ? 0 : m.stepAccumulator);
    }
}

TEST_F(FlowTest, LosingTheFocusActsByState) {
    bootToMainMenu();
    struct Case {
        int state, expectState, expectMenu;
    };
    for (const Case& c : {Case{STATE_SPLASH, STATE_MENU, 2}, Case{STATE_SWING_STAGE, STATE_MENU, 4},
                          Case{STATE_LEVEL_SELECT, STATE_MENU, 4}, Case{STATE_LOADING, STATE_LOADING, 2},
                          Case{STATE_RETURN, STATE_RETURN, 2}, Case{STATE_MENU, STATE_MENU, 2}}) {
        StateMachine::gotoMenu(2);
        frame();
        auto& m = StateMachine::state();
        m.state = c.state;
        m.musicState = StateMachine::MUSIC_PLAYING;
        StateMachine::onLifecycle(GameMidlet::LIFECYCLE_PAUSED);
        EXPECT_NE(m.musicState, StateMachine::MUSIC_PLAYING) << c.state;
        StateMachine::onLifecycle(GameMidlet::LIFECYCLE_RESUMED);
        if (m.nextState != -1) frame();
        EXPECT_EQ(StateMachine::current(), c.expectState) << c.state;
        EXPECT_EQ(menu(), c.expectMenu) << c.state;
    }
    // Back in the main menu after a pause its tune starts again.
    StateMachine::state().state = STATE_MENU;
    StateMachine::onLifecycle(GameMidlet::LIFECYCLE_PAUSED);
    StateMachine::onLifecycle(GameMidlet::LIFECYCLE_RESUMED);
    sounds();
    frame();
    EXPECT_NE(sounds().find("#20 audio/mpeg start"), std::string::npos);
}

TEST_F(FlowTest, LoadingScreenWaitsToBeSeenRunsItsFramesThenLetsTheTargetLoad) {
    bootToMainMenu();
    std::vector<int> steps;
    Screen target;
    target.loadStep = [&steps](int step) {
        steps.push_back(step);
        return step == 20;
    };
    StateMachine::setScreen(STATE_WAIT, target);
    LoadingScreen::loadThen(STATE_WAIT);
    StateMachine::tick(20);
    for (int i = 0; i < 50; ++i) StateMachine::tick(20);
    EXPECT_EQ(LoadingScreen::state().counter, 0) << "nothing moves before the screen was drawn";
    const int taken = runUntil(STATE_WAIT, 400);
    // Seen, the picture, the bar's frames, 21 steps of the target, the change.
    EXPECT_EQ(taken, 1 + 1 + LoadingScreen::kMinFrames + 21 + 1);
    EXPECT_EQ(steps.size(), 21u);
    EXPECT_EQ(steps.back(), 20);
    EXPECT_EQ(LoadingScreen::state().extra, LoadingScreen::kExtraSteps);
    // The bar stays inside its outline however far the value runs.
    auto g = screen_->getGraphics();
    g->setColor(0);
    g->fillRect(0, 0, 800, 600);
    LoadingScreen::drawBar(*g, 500, 118);
    std::vector<std::int32_t> row(800);
    screen_->getRGB(row, 0, 800, 0, 600 - 75 - 2, 800, 1);
    EXPECT_EQ(row[774] & 0xFFFFFF, LoadingScreen::kBarColour);
    EXPECT_EQ(row[776] & 0xFFFFFF, 0);
}

TEST_F(FlowTest, SplashFireSkipsToThePhaseBoundaries) {
    struct Case {
        int t, to;
    };
    for (const Case& c : {Case{0, 4001}, Case{300, 3701}, Case{999, 3002}, Case{1000, 3001}, Case{2500, 3001},
                          Case{3500, 4001}, Case{4500, 7001}, Case{6999, 7001}})
        EXPECT_EQ(Splash::skipTarget(c.t), c.to) << c.t;
    // Missing pictures draw nothing and throw nothing at any time.
    for (int t = 0; t <= 7000; t += 250) {
        Splash::state().clock = t;
        Splash::paint(*screen_->getGraphics());
    }
}

TEST_F(FlowTest, IntroEndsAfterItsStoryOrAtOnceOnAKeyAndIsRemembered) {
    bootToMainMenu();
    // Without captions every picture still shows: phases 0, then 1 and 4 per
    // picture, 5 or 6 between pictures, and 7.
    const auto& ms = IntroStory::kPhaseMs;
    const int story = ms[0] + 4 * (ms[1] + ms[4]) + 3 * ms[5] + ms[7];
    StateMachine::setState(STATE_INTRO);
    frame();
    const int taken = runUntil(STATE_LOADING, 3000);
    EXPECT_EQ(taken, IntroStory::kDelayFrames + story / 20);
    EXPECT_EQ(LoadingScreen::state().target, STATE_LEVEL_SELECT_INTRO);
    EXPECT_TRUE(game::Brindle::shared().progress.progressFlags[2]);

    for (int code : {FIRE, DOWN}) {
        StateMachine::setState(STATE_INTRO);
        frames(10);
        StateMachine::onKey(code, GameMidlet::KEY_PRESSED);
        frame();
        frame();
        EXPECT_EQ(StateMachine::current(), STATE_LOADING) << code;
    }
    StateMachine::setState(STATE_INTRO);
    frames(10);
    command(CMD_SKIP);
    frames(2);
    EXPECT_EQ(StateMachine::current(), STATE_LOADING);
}

}  // namespace
