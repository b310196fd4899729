// The crash stage's rules on maps made for the test: launch accounting and
// power-ups, how a launch ends, the tally, grading, score and the one-shot
// end of the level, hints, and exact repetition of a scripted play.
#include <gtest/gtest.h>

#include <set>

#include "game/GameMidlet.h"
#include "game/flow/GameStates.h"
#include "game/stage/CrashStage.h"
#include "game/Brindle.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/Popup.h"
#include "game/ui/TextPanel.h"
#include "game/world/FixedMath.h"
#include "GameTestSupport.h"
#include "stage/CrashFixture.h"

namespace game::stage::testing {
namespace {

using world::GameWorld;

// A room 40 cells wide, open to the right, the floor on row 9.
const std::vector<std::string> kRunway = {
    std::string(1, '#') + std::string(39, '.'), std::string(1, '#') + std::string(39, '.'),
    std::string(1, '#') + std::string(39, '.'), std::string(1, '#') + std::string(39, '.'),
    std::string(1, '#') + std::string(39, '.'), std::string(1, '#') + std::string(39, '.'),
    std::string(1, '#') + std::string(39, '.'), std::string(1, '#') + std::string(39, '.'),
    std::string(1, '#') + std::string(39, '.'), std::string(40, '#'),
};

// A closed box: whatever is thrown in keeps hitting walls.
const std::vector<std::string> kBox = {
    "##########", "#........#", "#........#", "#........#", "#........#", "#........#", "##########",
};

class Launches : public CrashTest {
protected:
    void fresh() {
        TearDown();
        SetUp();
    }
    // Plays out the launches, taking off 200 ms into each run-up when
    // takeOff; the launch indices seen and the take-offs made.
    std::pair<std::set<int>, int> playOut(bool takeOff) {
        std::set<int> seen;
        int takeOffs = 0;
        for (int t = 0; stage().phase == CrashStage::PLAY && t < 300000; t += kStep) {
            seen.insert(CrashStage::launchIndex());
            if (takeOff && mode() == CrashStage::RUN_UP && stage().launchClock >= 200) {
                fire();
                takeOffs += mode() == CrashStage::AIRBORNE;
            } else {
                CrashStage::update(kStep);
            }
        }
        return {seen, takeOffs};
    }
};

TEST_F(Launches, EachBankedLaunchIsFlownOnceAndRunningOffTheMapIsFree) {
    for (int banked : {1, 3}) {
        SCOPED_TRACE(banked);
        fresh();
        play(kRunway, 1, 8, banked);
        const auto [seen, takeOffs] = playOut(true);
        EXPECT_EQ(stage().phase, CrashStage::TALLY);
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(banked));
        EXPECT_EQ(*seen.rbegin(), banked - 1);
        EXPECT_EQ(takeOffs, banked);
    }
    // Off the end of the runway the run-up starts again in the same launch,
    // which can still take off...
    fresh();
    play(kRunway, 1, 8, 2);
    const int startX = character().sprite.x;
    runUntil([&] { return character().sprite.x > startX + (400 << 16); }, 60000);
    runUntil([&] { return character().sprite.x <= startX; }, 60000);
    EXPECT_EQ(mode(), CrashStage::RUN_UP);
    EXPECT_EQ(CrashStage::launchIndex(), 0);
    fire();
    EXPECT_EQ(mode(), CrashStage::AIRBORNE);
    EXPECT_EQ(CrashStage::launchIndex(), 0);
    // ...but one never taken off ends with its minute.
    fresh();
    play(kRunway, 1, 8, 2);
    const auto [seen, takeOffs] = playOut(false);
    EXPECT_EQ(stage().phase, CrashStage::TALLY);
    EXPECT_EQ(seen, (std::set<int>{0, 1}));
    EXPECT_EQ(takeOffs, 0);
}

// Smash and aim charges come with the launch banked for them, and only
// for a player who owns those power-ups.
TEST_F(Launches, PowerUpsBelongToTheLaunchTheyWereBankedFor) {
    for (int unlocks : {0, CrashStage::kUnlockSmash | CrashStage::kUnlockAim}) {
        SCOPED_TRACE(unlocks);
        fresh();
        play(kRunway, 1, 8, 3, unlocks, {0, 1, 0}, {0, 2, 0});
        for (int i = 0; i < 3; ++i) {
            runUntil([&] { return CrashStage::launchIndex() == i && mode() == CrashStage::RUN_UP; }, 20000);
            ASSERT_EQ(CrashStage::launchIndex(), i);
            const bool powered = unlocks != 0 && i == 1;
            EXPECT_EQ(character().superSmash, powered) << i;
            fire();
            ASSERT_EQ(mode(), CrashStage::AIRBORNE);
            CrashStage::update(kStep);
            fire();
            EXPECT_EQ(mode(), powered ? CrashStage::AIMING : CrashStage::AIRBORNE) << i;
            if (powered) {
                EXPECT_EQ(world().launchAims[1], 1);
                // Released at angle 0 the character goes straight down, at
                // least at the aim's speed however slow it was.
                character().velX = character().velY = 0;
                stage().aimAngle = -(kStep << 13);
                fire();
                EXPECT_EQ(mode(), CrashStage::BOUNCING);
                EXPECT_EQ(character().velX, 0);
                EXPECT_GE(character().velY, CrashStage::kMinAimSpeed * 255 / 256);
            }
            runUntil([&] { return CrashStage::launchIndex() != i || stage().phase != CrashStage::PLAY; }, 20000);
        }
        EXPECT_EQ(stage().phase, CrashStage::TALLY);
    }
}

TEST_F(Launches, ALaunchEndsAfterItsBouncesOrOnASlowSlide) {
    struct Case {
        int unlocks, friction, restitution;
        int bounces;  // when it stops; -1: a slide, no hard bounce at all
    };
    const Case cases[] = {
        {0, 200, 250, 4},
        {CrashStage::kUnlockTrail | CrashStage::kUnlockBounces, 200, 250, 8},
        {0, 240, 35, -1},  // exactly at the limits: still a slide
        {0, 239, 35, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.unlocks) + " " + std::to_string(c.friction));
        fresh();
        play(kBox, 4, 3, 1, c.unlocks);
        for (int i = 7; i <= 22; i += 2) {
            world().levelParams[static_cast<std::size_t>(i)] = c.friction;
            world().levelParams[static_cast<std::size_t>(i + 1)] = c.restitution;
        }
        fire();
        runUntil([] { return mode() == CrashStage::STOPPED; }, 70000);
        ASSERT_EQ(mode(), CrashStage::STOPPED);
        if (c.bounces < 0) {
            EXPECT_EQ(character().bounceCount, 0);
            EXPECT_TRUE(stage().slowTimer < 0 || stage().stuck);
        } else {
            EXPECT_EQ(character().bounceCount, c.bounces);
        }
        EXPECT_LT(stage().launchClock, 20000);
    }
}

// Data that would keep a launch going forever (no gravity, gravity
// upwards, no drag divisor) still end it: at the latest after a minute.
TEST_F(Launches, NoLevelDataKeepsALaunchGoingPastAMinute) {
    struct Case {
        int gravity, drag;
        bool fullMinute;
    };
    for (const Case& c : {Case{0, 2000, true}, Case{0, 0, true}, Case{-4, 2000, false}}) {
        SCOPED_TRACE(std::to_string(c.gravity) + " " + std::to_string(c.drag));
        fresh();
        play(kRunway, 5, 3, 1);
        world().levelParams[4] = c.gravity;
        world().levelParams[1] = c.drag;
        world().airStart = true;
        CrashStage::resetLaunch(false);
        runUntil([] { return mode() == CrashStage::STOPPED; }, 2 * CrashStage::kLaunchCapMs);
        ASSERT_EQ(mode(), CrashStage::STOPPED);
        EXPECT_LE(stage().launchClock, CrashStage::kLaunchCapMs + kStep);
        EXPECT_EQ(stage().launchClock >= CrashStage::kLaunchCapMs, c.fullMinute);
        runUntil([] { return stage().phase != CrashStage::PLAY; }, 5000);
        EXPECT_EQ(stage().phase, CrashStage::TALLY);
    }
}

TEST_F(Launches, AClickIsFire) {
    play(kRunway, 1, 8, 1);
    CrashStage::onPointer(GameMidlet::POINTER_PRESS);
    CrashStage::onPointer(GameMidlet::POINTER_RELEASE);
    CrashStage::update(kStep);
    EXPECT_EQ(mode(), CrashStage::AIRBORNE);
}

// ---- the end of the level ----

class Tally : public CrashTest {
protected:
    // A tally with `placed` targets standing and `destroyed` of them broken.
    void tally(int placed, int destroyed, int targetCount, int storedGrade = 1) {
        play(kRunway, 1, 8, 1);
        for (int i = 0; i < placed; ++i) GameWorld::countStat(4, 0);
        for (int i = 0; i < destroyed; ++i) GameWorld::countStat(4, 1);
        world().targetCount = targetCount;
        Brindle::shared().progress.levelGrade[1] = storedGrade;
        stage().phase = CrashStage::TALLY;
        CrashStage::update(kStep);
    }
    static int levelEnds(int frames) {
        int n = 0;
        for (int f = 0; f < frames; ++f) {
            CrashStage::tick(20);
            n += CrashStage::takeRequest() == CrashStage::Request::LEVEL_END;
        }
        return n;
    }
    static void fireKey(int type) { CrashStage::onKey(type, -5, 53); }
};

TEST_F(Tally, BelowTheTargetCountFailsOtherwiseTheShareBrokenGrades) {
    struct Case {
        int destroyed, storedGrade, phase, grade;
        bool improved;
    };
    // Four targets stand, two are needed.
    const Case cases[] = {
        {1, 1, CrashStage::FAILED, 0, false}, {2, 1, CrashStage::WIPE, 1, true}, {3, 1, CrashStage::WIPE, 2, true},
        {4, 1, CrashStage::WIPE, 3, true},    {3, 3, CrashStage::WIPE, 2, false}, {4, 3, CrashStage::WIPE, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.destroyed) + " " + std::to_string(c.storedGrade));
        TearDown();
        SetUp();
        tally(4, c.destroyed, 2, c.storedGrade);
        EXPECT_EQ(stage().phase, c.phase);
        if (c.phase == CrashStage::WIPE) {
            EXPECT_EQ(stage().grade, c.grade);
            EXPECT_EQ(stage().gradeImproved, c.improved);
        }
    }
}

// FIRE held from the tally on does not pass the results unseen; a press
// once they are up ends the level once, however long it is held.
TEST_F(Tally, FireEndsTheLevelOnceAndOnlyOnceTheResultsAreUp) {
    for (bool finale : {false, true}) {
        TearDown();
        SetUp();
        tally(3, 3, 2);
        world().finale.present = finale;
        fireKey(GameMidlet::KEY_PRESSED);
        EXPECT_EQ(levelEnds(300), 0);
        EXPECT_EQ(stage().phase, CrashStage::RESULTS);
        EXPECT_TRUE(stage().resultsReady);
        fireKey(GameMidlet::KEY_RELEASED);
        fireKey(GameMidlet::KEY_PRESSED);
        EXPECT_EQ(levelEnds(100), 1);
        EXPECT_EQ(stage().requestResult, finale ? 2 : 1);
        fireKey(GameMidlet::KEY_RELEASED);
        fireKey(GameMidlet::KEY_PRESSED);
        CrashStage::onKey(GameMidlet::KEY_COMMAND, CrashStage::kCommandConfirm, 0);
        EXPECT_EQ(levelEnds(100), 0);
    }
}

// The game's scroll arrows take room from the view: the four result lines
// still fit without scrolling under the window's frame.
TEST_F(Tally, ResultsFitTheirWindowWithTheScrollArrows) {
    auto& fonts = Brindle::shared().fonts;
    fonts[0] = fonts[1] = gametest::testFont({gametest::asciiCodes(), 10, 22, 6, 0, {}});
    TextPanel::shared().upArrowHeight = TextPanel::shared().downArrowHeight = 20;
    tally(3, 3, 2);
    fireKey(GameMidlet::KEY_PRESSED);
    levelEnds(300);
    ASSERT_EQ(stage().phase, CrashStage::RESULTS);
    const TextPanel& results = world().resultsPanel;
    const auto window = game::PanelWindow::windowRect(results, 1000);
    const int textBottom = results.originY() + game::PanelWindow::panelOffset(game::flow::STATE_CRASH_STAGE).y +
                           results.contentTop() + results.contentHeight();
    // The frame's rope is about ten pixels thick.
    EXPECT_LE(textBottom, window.y + window.h - 10);
}

TEST_F(Tally, FailureOffersTheSwingStageOrTheLevelSelect) {
    struct Case {
        int type, code, action;
        CrashStage::Request request;
    };
    const Case cases[] = {
        {GameMidlet::KEY_PRESSED, -5, 53, CrashStage::Request::RETRY},
        {GameMidlet::KEY_COMMAND, CrashStage::kCommandRetry, 0, CrashStage::Request::RETRY},
        {GameMidlet::KEY_COMMAND, CrashStage::kCommandLevels, 0, CrashStage::Request::LEVEL_SELECT},
        {GameMidlet::KEY_COMMAND, CrashStage::kCommandQuit, 0, CrashStage::Request::LEVEL_SELECT},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        tally(3, 1, 2);
        ASSERT_EQ(stage().phase, CrashStage::FAILED);
        CrashStage::onKey(c.type, c.code, c.action);
        EXPECT_EQ(CrashStage::takeRequest(), c.request);
    }
}

TEST_F(Tally, ScoreCountsTargetsTilesComboStepsAndLaunchesLeftWhenCleared) {
    for (bool cleared : {false, true}) {
        TearDown();
        SetUp();
        play(kRunway, 1, 8, 3);
        for (int i = 0; i < 4; ++i) GameWorld::countStat(4, 0);
        for (int i = 0; i < (cleared ? 4 : 3); ++i) GameWorld::countStat(4, 1);
        world().targetCount = 2;
        world().destroyedTiles = 5;
        world().comboCount = 3;  // a chain of three: two combo steps
        EXPECT_EQ(CrashStage::checkCleared(), cleared);
        stage().phase = CrashStage::TALLY;
        CrashStage::update(kStep);
        const int targets = cleared ? 4 : 3;
        EXPECT_EQ(stage().score, 10 * targets + 5 + 5 * 2 + (cleared ? 50 * 2 : 0));
    }
}

// With nothing to destroy, the launches are still all flown before the
// tally, which then passes with every (no) target broken.
TEST_F(Tally, AMapWithoutTargetsPlaysOutItsLaunches) {
    play(kRunway, 1, 8, 2);
    fire();
    runUntil([] { return mode() == CrashStage::STOPPED; }, 70000);
    runUntil([] { return CrashStage::launchIndex() == 1 || stage().phase != CrashStage::PLAY; }, 10000);
    EXPECT_EQ(stage().phase, CrashStage::PLAY);
    fire();
    runUntil([] { return stage().phase != CrashStage::PLAY; }, 70000);
    CrashStage::update(kStep);
    EXPECT_EQ(stage().phase, CrashStage::WIPE);
    EXPECT_EQ(stage().grade, 3);
}

// ---- hints ----

TEST_F(Launches, HintsShowOneAtATimeWithTheLastRaisedWaiting) {
    play(kRunway, 1, 8, 2, CrashStage::kUnlockSmash | CrashStage::kUnlockAim, {}, {1, 0});
    auto& flags = Brindle::shared().progress.progressFlags;
    CrashStage::setupStep(10);  // the first-play hint, then smash, then aim
    EXPECT_TRUE(flags[2] && flags[16] && flags[9]);
    EXPECT_TRUE(Popup::visible());
    EXPECT_EQ(stage().pendingPopup, CrashStage::kAimHint);
    EXPECT_FALSE(stage().aimHintArmed);
    stage().phase = CrashStage::PLAY;
    fire();  // take-off closes the first hint and shows the aim hint, armed
    EXPECT_EQ(stage().pendingPopup, -1);
    EXPECT_TRUE(stage().aimHintArmed);
    CrashStage::showHint(97);
    EXPECT_EQ(stage().pendingPopup, 97);
    fire();  // the aim: the aim hint has done its job
    EXPECT_EQ(mode(), CrashStage::AIMING);
    EXPECT_FALSE(stage().aimHintArmed);

    flags.fill(true);
    stage().pendingPopup = -1;
    CrashStage::setupStep(10);
    EXPECT_EQ(stage().pendingPopup, -1);
}

// ---- a scripted play ----

struct Outcome {
    int targets, tiles, combos2, combos3, combosMore, comboSteps, score;
    std::vector<int> phases;
    bool operator==(const Outcome&) const = default;
};

class Script : public CrashTest {
protected:
    // A column of blocks to break, targets on the floor and on ledges
    // beyond it; the run-up is six rows above the floor.
    void build() {
        std::vector<std::string> rows(10, "#" + std::string(37, '.'));
        rows[9] = std::string(38, '#');
        for (int r = 2; r <= 7; ++r) rows[static_cast<std::size_t>(r)][8] = 'c';
        rows[5].replace(18, 2, "##");
        rows[6].replace(22, 2, "##");
        rows[8][26] = 'c';
        play(rows, 1, 2, 3, 0x1FF, {1, 0, 0}, {0, 1, 0});
        for (int i = 8; i <= 22; i += 2) world().levelParams[static_cast<std::size_t>(i)] = 200;  // lively bounces
        for (auto [col, row] : {std::pair{8, 8}, {9, 8}, {11, 8}, {13, 8}, {19, 4}, {23, 5}}) target(col, row);
        world().targetCount = 3;
        world().random.seed = 7;
    }
    // Take-offs 300 ms into each run-up; the second launch aims 400 ms
    // after take-off and lets go 300 ms later.
    static Outcome run() {
        Outcome o{};
        int lastPhase = -1, airborneAt = -1;
        for (int t = 0; stage().phase <= CrashStage::TALLY || stage().phase == CrashStage::FINALE; t += kStep) {
            if (t > 200000) break;
            if (stage().phase != lastPhase) o.phases.push_back(lastPhase = stage().phase);
            const int since = airborneAt < 0 ? -1 : stage().launchClock - airborneAt;
            if (mode() == CrashStage::RUN_UP && stage().launchClock >= 300) {
                fire();
                airborneAt = stage().launchClock;
            } else if (CrashStage::launchIndex() == 1 && (since == 400 || since == 720)) {
                fire();
            } else {
                CrashStage::update(kStep);
            }
            if (mode() == CrashStage::STOPPED) airborneAt = -1;
        }
        o.targets = GameWorld::destroyedTargets();
        o.tiles = world().destroyedTiles;
        o.combos2 = world().combos2;
        o.combos3 = world().combos3;
        o.combosMore = world().combosMore;
        o.comboSteps = stage().comboSteps;
        o.score = stage().score;
        o.phases.push_back(stage().phase);
        return o;
    }
};

TEST_F(Script, AScriptedPlayRepeatsExactlyAlsoFromASnapshot) {
    build();
    const Outcome first = run();
    // Four of six targets (three in one chain), four blocks, the launch
    // bonus not earned: a pass.
    EXPECT_EQ(first, (Outcome{4, 4, 0, 1, 0, 2, 54, {CrashStage::PLAY, CrashStage::TALLY, CrashStage::WIPE}}));
    EXPECT_EQ(world().launchAims[1], 0);  // the second launch aimed
    TearDown();
    SetUp();
    build();
    EXPECT_EQ(run(), first);

    // A solver's snapshot at the second launch gives the same end twice.
    TearDown();
    SetUp();
    build();
    runUntil([] { return CrashStage::launchIndex() == 1; }, 60000);
    const GameWorld::State worldAt = world();
    const CrashStage::State stageAt = stage();
    const Outcome a = run();
    world() = worldAt;
    stage() = stageAt;
    EXPECT_EQ(run(), a);
}

}  // namespace
}  // namespace game::stage::testing
