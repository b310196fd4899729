// The swing stage drawn in every phase and drop mode for hundreds of
// frames, with the game's own pictures and with none at all; a real level
// played through its setup steps, struck by FIRE at the right moment (found
// by snapshots of the stage), strikes its character in each drop mode.
#include "SwingFixture.h"
#include "game/stage/SwingPainter.h"
#include "javax/microedition/lcdui/Image.h"

namespace game::stage {
namespace {

using javax::microedition::lcdui::Image;
using testing::Level;
using testing::SwingTest;
using world::GameWorld;

class SwingPaintTest : public SwingTest {
protected:
    void SetUp() override {
        SwingTest::SetUp();
        screen_ = Image::createImage(MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
    }
    // Frames of play with FIRE now and then, each one painted.
    void paintFrames(int frames) {
        auto& g = *screen_->getGraphics();
        for (int i = 0; i < frames; ++i) {
            if (i % 40 == 0) SwingStage::key('5', GameMidlet::KEY_PRESSED);
            if (i % 40 == 3) SwingStage::key('5', GameMidlet::KEY_RELEASED);
            SwingStage::update(20);
            SwingStage::takeRequest();
            SwingStage::paint(g);
        }
    }
    // Every phase in turn: intro and play, the failure panel, the wait
    // for the crash stage, and a bonus level's results.
    void paintEveryPhase(int mode) {
        Level l;
        l.mode = mode;
        l.spread = 30;
        l.speed = 80;
        l.extra = {{16, {7, 6, 0, 0}}, {17, {9, 3, 10, 0}}};
        const int unlocks = 0x1FF;
        play(l, unlocks);
        paintFrames(300);
        SwingStage::state().shotsLeft = 0;
        GameWorld::state().launchesBanked = 0;
        SwingStage::endDrop(true);
        ASSERT_EQ(SwingStage::state().swingPhase, SwingStage::FAILED);
        paintFrames(100);
        play(l, unlocks);
        SwingStage::state().shotsLeft = 0;
        GameWorld::state().launchesBanked = 3;
        SwingStage::endDrop(true);
        ASSERT_EQ(SwingStage::state().swingPhase, SwingStage::END_WAIT);
        paintFrames(150);
        l.bonus = true;
        l.target = 1;
        l.extra.push_back({8, {10, 9, 4}});
        play(l, unlocks);
        paintFrames(100);
        SwingStage::state().shotsLeft = 0;
        SwingStage::endDrop(true);
        paintFrames(100);
        EXPECT_EQ(SwingStage::state().swingPhase, SwingStage::BONUS_RESULTS);
    }

    std::shared_ptr<Image> screen_;
};

TEST_F(SwingPaintTest, EveryPhaseAndDropModeDrawsWithoutPictures) {
    dropPictures();
    for (int mode = 0; mode <= 3; ++mode) {
        SCOPED_TRACE(mode);
        EXPECT_NO_THROW(paintEveryPhase(mode));
    }
}

TEST_F(SwingPaintTest, EveryPhaseAndDropModeDrawsWithTheGamePictures) {
    for (int mode = 0; mode <= 3; ++mode) {
        SCOPED_TRACE(mode);
        EXPECT_NO_THROW(paintEveryPhase(mode));
    }
    // The stage's own sprites were there to draw.
    EXPECT_TRUE(SwingStage::state().sprites[SwingStage::BAT_HEAD].getCurrentAnimation());
    EXPECT_TRUE(SwingStage::state().rail.getCurrentAnimation());
}

// Without a level file the stage asks to go back to the level select, and
// what it draws meanwhile is harmless.
TEST_F(SwingPaintTest, ALevelThatDoesNotLoadGoesBackToTheLevelSelect) {
    dropPictures();
    EXPECT_FALSE(SwingStage::setupStep(0));
    EXPECT_TRUE(SwingStage::setupStep(1));
    EXPECT_NE(out_.str().find("level 1 does not load"), std::string::npos) << out_.str();
    SwingStage::enter(false);
    EXPECT_EQ(SwingStage::takeRequest(), SwingStage::TO_LEVEL_SELECT);
    EXPECT_NO_THROW(paintFrames(10));
}

// The bat head's frame stays inside its 32 frames at every angle.
TEST(SwingPainter, BatHeadFrameCoversTheTurn) {
    int low = 99, high = -1;
    for (int a = -512; a <= 512; ++a) {
        const int f = SwingPainter::batHeadFrame(a << 16);
        low = std::min(low, f);
        high = std::max(high, f);
    }
    EXPECT_EQ(low, 2);
    EXPECT_EQ(high, 31);
}

// The game's first four levels (they bring in the drop modes one by one:
// falling, pendulum, rope, trampoline) as the state machine loads them:
// some moment to press FIRE, found by trying each frame from one snapshot,
// strikes the character, and the falling one of level 1 flies out and
// banks a launch.
TEST_F(SwingPaintTest, GameLevelsAreStruckByAScriptedFire) {
    for (int level = 1; level <= 4; ++level) {
        SCOPED_TRACE(level);
        resetGame();
        Brindle::shared().progress = SavedGame::defaultProgress();
        Brindle::shared().progress.progressFlags.fill(true);
        Brindle::shared().progress.selectedLevel = level;
        for (int step = 0; !SwingStage::setupStep(step); ++step) {}
        SwingStage::enter(false);
        ASSERT_EQ(SwingStage::takeRequest(), SwingStage::NO_REQUEST);
        EXPECT_EQ(GameWorld::state().swing.dropMode, level - 1);
        untilInPlay();
        const SwingStage::State stageAt = SwingStage::state();
        const GameWorld::State worldAt = GameWorld::state();
        bool struck = false;
        int banked = 0;
        for (int wait = 0; wait < 80 && !(struck && (level != 1 || banked)); ++wait) {
            SwingStage::state() = stageAt;
            GameWorld::state() = worldAt;
            run(20 * wait);
            fire();
            for (int t = 0; t < 1000 && !SwingStage::state().batted; t += 20) SwingStage::update(20);
            struck = SwingStage::state().batted;
            for (int t = 0; struck && t < 6000 && !SwingStage::state().hidden; t += 20) SwingStage::update(20);
            banked = GameWorld::state().launchesBanked;
        }
        EXPECT_TRUE(struck);
        if (level == 1) {
            EXPECT_EQ(banked, 1);
        }
    }
}

}  // namespace
}  // namespace game::stage
