// The swing stage played on purpose-made maps: strikes that bank, splat or
// bounce, misses that cost nothing, the queue per unlock mask, power-ups
// handed to the launch being banked, bonus levels, the end of the queue
// and the requests the stage leaves for its host.
#include "SwingFixture.h"
#include "game/world/FixedMath.h"
#include "game/world/TileCollision.h"

namespace game::stage {
namespace {

using testing::Level;
using testing::SwingTest;
using world::GameWorld;

const SwingStage::State& stage() { return SwingStage::state(); }

TEST_F(SwingTest, QueueFollowsTheUnlocksAndSizesTheBank) {
    const struct {
        int unlocks, queue;
    } cases[] = {{0, 7}, {SwingStage::kUnlockNine, 9}, {SwingStage::kUnlockThreeMore, 10}, {SwingStage::kUnlockNine | SwingStage::kUnlockThreeMore, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unlocks);
        play(Level{}, c.unlocks);
        EXPECT_EQ(stage().shotsLeft, c.queue);
        EXPECT_EQ(GameWorld::state().launchSmash.size(), static_cast<std::size_t>(c.queue + 1));
        EXPECT_EQ(GameWorld::state().launchAims.size(), static_cast<std::size_t>(c.queue + 1));
        // The first character in play is taken from the queue.
        untilInPlay();
        EXPECT_EQ(stage().shotsLeft, c.queue - 1);
    }
}

// FIRE at a character hanging where the bat passes: what the drop ends in
// depends on what lies above it.
TEST_F(SwingTest, ScriptedStrikesBankSplatOrBounce) {
    const struct {
        const char* name;
        Level level;
        int banked, rating, marks;
        bool bounced;
    } cases[] = {
        {"open sky", Level{}, 1, SwingStage::OUT, 0, false},
        {"a flat ceiling", Level{}.row(4, "##########", 3), 0, SwingStage::SPLAT, 1, false},
        {"a breakable ceiling", Level{}.row(4, "cccccccccc", 3), 0, SwingStage::SPLAT, 0, false},
        {"a slope, then the floor", Level{}.row(6, "uuuvvv", 5), 0, SwingStage::SPLAT, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        play(c.level);
        untilInPlay();
        const int queued = stage().shotsLeft;
        strikeAndWait();
        EXPECT_EQ(GameWorld::state().launchesBanked, c.banked);
        EXPECT_EQ(stage().dropRating, c.rating);
        EXPECT_EQ(stage().firstBounceUsed, c.bounced);
        int marks = 0;
        for (const auto& d : stage().decals) marks += d.picture != 0;
        EXPECT_EQ(marks, c.marks);
        // Every struck character is used up; the next one comes.
        untilInPlay();
        EXPECT_EQ(stage().shotsLeft, queued - 1);
    }
}

// A character that falls past without being struck is dropped again: the
// queue keeps its size and nothing is banked.
TEST_F(SwingTest, MissesCostNothing) {
    Level l;
    l.mode = SwingStage::FALL;
    l.dropCol = 18;  // far from the bat
    l.row(16, "..", 17);  // a gap in the floor below the drop point
    l.row(17, "..", 17).row(18, "..", 17);
    play(l);
    untilInPlay();
    const int queued = stage().shotsLeft;
    for (int drop = 0; drop < 3; ++drop) {
        fire();
        for (int t = 0; t < 6000 && !stage().hidden; t += 20) SwingStage::update(20);
        ASSERT_TRUE(stage().hidden);
        EXPECT_EQ(stage().dropRating, SwingStage::NO_RATING);
        untilInPlay();
        EXPECT_EQ(stage().shotsLeft, queued);
    }
    EXPECT_EQ(GameWorld::state().launchesBanked, 0);
}

// The targets' power-ups go to the launch the character banks, at its
// index; the aim target gives two charges only with its own unlock.
TEST_F(SwingTest, PowerUpsGoToTheLaunchBeingBanked) {
    const int both = SwingStage::kUnlockSmashTarget | SwingStage::kUnlockAimTarget;
    const struct {
        int unlocks;
        bool smash;
        int aims;
    } cases[] = {{both, true, 1}, {both | SwingStage::kUnlockDoubleAim, true, 2}, {SwingStage::kUnlockSmashTarget, true, 0}, {0, false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unlocks);
        Level l;
        // Both targets on the way the struck character flies (up and right).
        l.extra = {{16, {9, 6, 0, 0}}, {17, {10, 3, 0, 0}}};
        play(l, c.unlocks);
        // Two launches banked before this one.
        GameWorld::state().launchesBanked = 2;
        untilInPlay();
        strikeAndWait();
        const auto& w = GameWorld::state();
        ASSERT_EQ(w.launchesBanked, 3);
        EXPECT_EQ(w.launchSmash[2] != 0, c.smash);
        EXPECT_EQ(w.launchAims[2], c.aims);
        EXPECT_EQ(w.launchSmash[0] + w.launchSmash[1] + w.launchAims[0] + w.launchAims[1], 0);
        EXPECT_EQ(stage().dropRating, c.smash ? SwingStage::TARGET_OUT : SwingStage::OUT);
        // Out of play, a character where a target stands touches nothing.
        auto& ws = GameWorld::state();
        ASSERT_TRUE(stage().hidden);
        ws.swing.smashTargetX = ws.swing.aimTargetX = ws.character.sprite.x >> 16;
        ws.swing.smashTargetY = ws.swing.aimTargetY = ws.character.sprite.y >> 16;
        SwingStage::update(20);
        EXPECT_EQ(ws.launchSmash[3] + ws.launchAims[3], 0);
    }
}

// A bonus level keeps its bonus objects; the struck character breaks those
// in its way and the level is graded by them, ending once.
TEST_F(SwingTest, BonusLevelsAreGradedByTheObjectsBroken) {
    const struct {
        std::vector<std::array<int, 2>> objects;  // cells
        int target, broken, stars;
    } cases[] = {
        {{{8, 9}, {10, 4}, {11, 2}}, 2, 3, 3},   // all in the way: straight to the results
        {{{8, 9}, {10, 4}, {20, 2}}, 2, 2, 2},   // one out of reach
        {{{20, 6}, {21, 4}, {22, 2}}, 1, 0, 0},  // none
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.broken);
        Level l;
        l.bonus = true;
        l.target = c.target;
        for (const auto& o : c.objects) l.extra.push_back({8, {10, o[0], o[1]}});
        play(l);
        EXPECT_EQ(GameWorld::placedBonus(), 3);
        untilInPlay();
        strikeAndWait();
        EXPECT_EQ(GameWorld::destroyedBonus(), c.broken);
        // Drops go on until the queue is empty, unless everything is broken.
        for (int t = 0; t < 60000 && stage().swingPhase < SwingStage::BONUS_PENDING; t += 20) {
            if (!stage().hidden && !stage().batted) fire();
            SwingStage::update(20);
        }
        run(40);
        ASSERT_EQ(stage().swingPhase, SwingStage::BONUS_RESULTS);
        EXPECT_EQ(GameWorld::destroyedBonus(), c.broken);
        EXPECT_EQ(SwingStage::bonusStars(), c.stars);
        EXPECT_EQ(SwingStage::bonusScore(), 5 * c.broken);
        // FIRE held over many frames ends the level once.
        SwingStage::key('5', GameMidlet::KEY_PRESSED);
        int ends = 0;
        for (int i = 0; i < 20; ++i) {
            SwingStage::update(20);
            ends += SwingStage::takeRequest() == SwingStage::LEVEL_END;
            SwingStage::key(SwingStage::kCommandOk, GameMidlet::KEY_COMMAND);
        }
        EXPECT_EQ(ends, 1);
    }
}

// The last drop decides: nothing banked opens the failure panel, whose
// FIRE restarts the stage; launches banked wait 2.5 s for the crash stage.
TEST_F(SwingTest, TheEndOfTheQueue) {
    play(Level{}.row(4, "##########", 3));
    for (int drop = 0; drop < 7; ++drop) {
        untilInPlay();
        strikeAndWait();
    }
    run(40);
    EXPECT_EQ(stage().swingPhase, SwingStage::FAILED);
    EXPECT_EQ(SwingStage::takeRequest(), SwingStage::NO_REQUEST);
    SwingStage::key('5', GameMidlet::KEY_PRESSED);
    run(20);
    SwingStage::key('5', GameMidlet::KEY_RELEASED);
    EXPECT_EQ(stage().swingPhase, SwingStage::INTRO);
    EXPECT_EQ(stage().shotsLeft, 7);

    // Retry from the panel's softkey, then back to the level select.
    play(Level{}.row(4, "##########", 3));
    SwingStage::state().shotsLeft = 0;
    SwingStage::endDrop(true);
    SwingStage::key(SwingStage::kCommandLevels, GameMidlet::KEY_COMMAND);
    EXPECT_EQ(SwingStage::takeRequest(), SwingStage::TO_LEVEL_SELECT);

    play(Level{});
    for (int drop = 0; drop < 7; ++drop) {
        untilInPlay();
        strikeAndWait();
    }
    EXPECT_EQ(GameWorld::state().launchesBanked, 7);
    EXPECT_EQ(stage().swingPhase, SwingStage::END_WAIT);
    int requests = 0, firstAt = -1;
    for (int frame = 1; frame <= 300; ++frame) {
        SwingStage::update(20);
        if (SwingStage::takeRequest() != SwingStage::TO_CRASH_STAGE) continue;
        if (++requests == 1) firstAt = frame * 20;
    }
    EXPECT_EQ(requests, 1);
    EXPECT_GE(firstAt, SwingStage::kEndWaitMs);
}

// Pause in play, and keys that only change held bits.
TEST_F(SwingTest, PauseAndHeldKeys) {
    play(Level{});
    SwingStage::key(SwingStage::kCommandPause, GameMidlet::KEY_COMMAND);
    EXPECT_EQ(SwingStage::takeRequest(), SwingStage::PAUSE_MENU);
    EXPECT_EQ(SwingStage::takeRequest(), SwingStage::NO_REQUEST);
    SwingStage::key('4', GameMidlet::KEY_PRESSED);
    SwingStage::key('8', GameMidlet::KEY_PRESSED);
    EXPECT_EQ(stage().heldBits, SwingStage::kHeldLeft | SwingStage::kHeldDown);
    EXPECT_FALSE(stage().fireDown);
    SwingStage::key('4', GameMidlet::KEY_RELEASED);
    EXPECT_EQ(stage().heldBits, SwingStage::kHeldDown);
}

// The hanging motion repeats over the clock's period for any drop speed,
// so wrapping the clock there keeps it continuous however long it runs.
TEST_F(SwingTest, TheSwingClockWrapsWithoutAJump) {
    Level l;
    l.mode = SwingStage::PENDULUM;
    l.spread = 40;
    for (int speed : {1, 68, 333, -250, 32767}) {
        SCOPED_TRACE(speed);
        l.speed = speed;
        play(l);
        auto& s = SwingStage::state();
        s.swingClock = SwingStage::kClockPeriod - 7;
        SwingStage::moveHoldPoint(0);
        const int before = s.swingAngle;
        SwingStage::moveHoldPoint(14);
        const int expected = static_cast<int>((std::int64_t{speed} * (SwingStage::kClockPeriod + 7) / 100) & 255);
        EXPECT_EQ(s.swingAngle, expected) << before;
        EXPECT_LT(s.swingClock, SwingStage::kClockPeriod);
        for (int i = 0; i < 100000; ++i) SwingStage::moveHoldPoint(200);  // 5.5 hours
        EXPECT_GE(s.swingClock, 0);
        EXPECT_LT(s.swingClock, SwingStage::kClockPeriod);
    }
}

}  // namespace
}  // namespace game::stage
