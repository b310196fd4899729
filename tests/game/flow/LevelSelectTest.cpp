// The level browser and the screens around it: moving and scrolling,
// titles and the info box, FIRE by grade, the briefing, the award check
// with its notices, the reward, and what the band paints.
#include "FlowTestSupport.h"
#include "game/flow/LevelBrowser.h"
#include "game/flow/LevelSelect.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/RewardScreen.h"
#include "game/format/AnimationData.h"
#include "game/save/SavedGame.h"

namespace {

using namespace game::flow;
using flowtest::FlowTest;
using game::Brindle;
using game::SavedGame;
using game::format::AnimationData;

game::format::Progress& progress() { return Brindle::shared().progress; }

void setGrades(std::initializer_list<int> grades) {
    int level = 1;
    for (int g : grades) progress().levelGrade[static_cast<std::size_t>(level++)] = g;
}

// One frame per colour, each a filled rectangle round the reference point
// (or below and right of it); boxes on the first frame.
std::vector<std::uint8_t> anim(std::vector<int> colours, int w, int h, std::vector<game::format::AnimBox> boxes = {},
                               bool centred = true) {
    game::format::Animation a;
    a.refX = centred ? w / 2 : 0;
    a.refY = centred ? h / 2 : 0;
    a.extentX = w;
    a.extentY = h;
    for (int c : colours) {
        game::format::AnimFrame f;
        f.duration = 1000;
        game::format::AnimElement e;
        e.type = game::format::AnimElement::FillRect;
        e.setRgb(c);
        e.coords = {0, 0, w, h, 0, 0};
        f.elements = {e};
        a.frames.push_back(f);
    }
    a.frames[0].boxes = std::move(boxes);
    return AnimationData::encode(a);
}

constexpr int kFiller = 0x00FF00, kStarFrame3 = 0x3333AA, kLockUnder = 0x444444, kLockOver = 0x777777,
              kMarker = 0xFFFF00;

class LevelSelectTest : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        // Pack 5: cards (group 1 with only two boxes), the filler, stars,
        // lock and marker; icons and tiles stay missing.
        std::vector<std::vector<std::uint8_t>> r5(0x100);
        const std::vector<game::format::AnimBox> boxes = {{3, 10, 100, 0, 0}, {4, 10, 100, 0, 0}, {5, 10, 100, 0, 0},
                                                          {0, 60, -50, 0, 0}, {1, 180, 0, 0, 0},   {2, 300, -50, 0, 0}};
        for (int id : LevelBrowser::kCards) r5[id & 0xFF] = anim({0xFFF1D0}, 2, 2, boxes);
        r5[0xC5] = anim({0xFFF1D0}, 2, 2, {boxes[0], boxes[3]});
        r5[0xD0] = anim({kFiller}, 80, 440, {}, false);
        r5[0x15] = anim({0x111111, 0x1111AA, 0x2222AA, kStarFrame3}, 8, 8);
        r5[0x9C] = anim({kLockUnder, kLockOver}, 30, 30);
        r5[0xB4] = anim({kMarker}, 40, 40);
        gametest::writePack("r5", r5);
        LevelBrowser::prepare();
        for (int step = 0; !LevelBrowser::loadStep(step, false); ++step) {
        }
    }
    // Level L selected, the band standing on its card.
    static void standOn(int level) {
        progress().selectedLevel = level;
        auto& b = LevelBrowser::state();
        b.offset = b.target = LevelBrowser::offsetFor(level);
    }
    std::vector<std::int32_t> row(int y) {
        std::vector<std::int32_t> r(800);
        screen_->getRGB(r, 0, 800, 0, y, 800, 1);
        return r;
    }
    int pixel(int x, int y) { return row(y)[static_cast<std::size_t>(x)] & 0xFFFFFF; }
    void drawBand() {
        auto g = screen_->getGraphics();
        g->setClip(0, 0, 800, 600);
        g->setColor(0xFF00FF);
        g->fillRect(0, 0, 800, 600);
        LevelBrowser::draw(*g);
    }
};

TEST_F(LevelSelectTest, MovesWrapAndScrollExactlyOntoTheCardOfTheNewLevel) {
    struct Case {
        int from, direction, to, scrollMs;
    };
    for (const Case& c : {Case{3, 1, 4, 1000}, Case{4, -1, 3, 1000}, Case{27, 1, 1, 2000}, Case{1, -1, 27, 2000},
                          Case{2, 1, 3, 0}, Case{26, -1, 25, 0}}) {
        standOn(c.from);
        LevelBrowser::move(c.direction);
        EXPECT_EQ(progress().selectedLevel, c.to);
        int ms = 0;
        // Steps of the accumulator at 20-ms frames; a last odd one.
        while (!LevelBrowser::settled() && ms < 5000) {
            const int step = ms + 40 > c.scrollMs ? 7 : 40;
            LevelBrowser::scroll(step);
            ms += step;
        }
        EXPECT_GE(ms, c.scrollMs) << c.from << " -> " << c.to;
        EXPECT_LT(ms, c.scrollMs + 40) << c.from << " -> " << c.to;
        EXPECT_EQ(LevelBrowser::state().offset, LevelBrowser::offsetFor(c.to)) << c.from << " -> " << c.to;
    }
    // Level 1 centred lies left of the band's start.
    EXPECT_EQ(LevelBrowser::offsetFor(1), -220 * 256);
    standOn(1);
    EXPECT_EQ(LevelBrowser::firstVisibleGroup(), -1);
}

TEST_F(LevelSelectTest, TitlesSplitAtBarsAndTheInfoBoxNamesTheLevel) {
    std::array<std::string, 28> titles;
    LevelBrowser::splitTitles("Reef|Cove", titles);
    EXPECT_EQ(titles[1], "Reef");
    EXPECT_EQ(titles[2], "Cove");
    EXPECT_EQ(titles[3], "");
    // Too many names, a trailing bar: 27 kept, nothing written past them.
    std::string many;
    for (int i = 1; i <= 30; ++i) many += "L" + std::to_string(i) + "|";
    auto& kept = LevelBrowser::state().titles;
    LevelBrowser::splitTitles(many, kept);
    EXPECT_EQ(kept[27], "L27");
    EXPECT_EQ(kept[0], "");

    setGrades({5, 1, 0, 0});
    const std::string locked = game::flow::Assets::text(LevelBrowser::kLockedText);
    EXPECT_EQ(LevelBrowser::infoText(1), "L1") << "the alternative finish is a finish";
    EXPECT_EQ(LevelBrowser::infoText(2), "L2");
    EXPECT_EQ(LevelBrowser::infoText(3), "L3" + game::flow::Assets::text(LevelBrowser::kOpensAfterText));
    EXPECT_EQ(LevelBrowser::infoText(4), locked);

    // The box opens after 600 ms of rest, stays, and closes on a move.
    standOn(2);
    auto& b = LevelBrowser::state();
    int ms = 0;
    while (b.infoMode == LevelBrowser::INFO_IDLE && ms < 2000) {
        LevelBrowser::updateInfo(20);
        ms += 20;
    }
    EXPECT_EQ(ms, 620);
    for (int i = 0; i < 40; ++i) LevelBrowser::updateInfo(20);
    EXPECT_EQ(b.infoMode, LevelBrowser::INFO_SHOWN);
    EXPECT_EQ(b.infoLines, std::vector<std::string>{"L2"});
    LevelBrowser::move(1);
    LevelBrowser::updateInfo(20);
    EXPECT_EQ(b.infoMode, LevelBrowser::INFO_CLOSING);
    for (int i = 0; i < 20; ++i) LevelBrowser::updateInfo(20);
    EXPECT_EQ(b.infoMode, LevelBrowser::INFO_IDLE);
}

TEST_F(LevelSelectTest, EveryColumnOfTheBandIsPaintedAndGradesShowAsStarsOrALock) {
    setGrades({5, 1, 0});
    for (int level : {1, 3}) {
        standOn(level);
        drawBand();
        const auto centre = row(300);
        EXPECT_EQ(std::count(centre.begin(), centre.end(), static_cast<std::int32_t>(0xFFFF00FF)), 0) << level;
        // Mid-scroll towards the next card.
        LevelBrowser::move(1);
        LevelBrowser::scroll(433);
        drawBand();
        const auto moving = row(300);
        EXPECT_EQ(std::count(moving.begin(), moving.end(), static_cast<std::int32_t>(0xFFFF00FF)), 0) << level;
    }
    // Level 1 (grade 5) selected: marker and three stars; level 2 (grade 1): no stars.
    standOn(1);
    drawBand();
    const int x = 220, y = 300;
    EXPECT_EQ(pixel(x + 60, y - 50), kStarFrame3);
    EXPECT_EQ(pixel(x + 60 + 15, y - 50), kMarker);
    EXPECT_EQ(pixel(x + 180, y), kFiller);
    // Level 3 (locked) selected: the lock under and over it, no marker.
    progress().selectedLevel = 3;
    drawBand();
    EXPECT_EQ(pixel(x + 300, y - 50), kLockOver);
    EXPECT_EQ(pixel(x + 300 + 13, y - 50), kLockOver);
    // Group 1's card has only two boxes (level 4's icon and name tag): the
    // other levels are left out, nothing else breaks.
    standOn(4);
    drawBand();
    EXPECT_EQ(pixel(x + 60, y - 50), kLockOver);
    EXPECT_EQ(pixel(x + 12, y + 100), LevelBrowser::kNameBand);
    progress().selectedLevel = 5;
    drawBand();
    EXPECT_EQ(pixel(x + 60, y - 50), kFiller);
}

TEST_F(LevelSelectTest, FireActsByGradeAndTheBriefingLeadsOnOrBack) {
    bootToMainMenu();
    setGrades({3, 1, 0});
    LoadingScreen::loadThen(STATE_LEVEL_SELECT);
    frame();
    const int taken = runUntil(STATE_LEVEL_SELECT, 400);
    EXPECT_GT(taken, LoadingScreen::kMinFrames);
    // Entering saved the progress.
    EXPECT_EQ(SavedGame::loadProgress(), progress());
    frames(30);  // the slide-in

    struct Case {
        int level, state, target;
    };
    for (const Case& c : {Case{3, STATE_LEVEL_SELECT, -1}, Case{1, STATE_BRIEFING, -1},
                          Case{2, STATE_LOADING, STATE_SWING_STAGE}}) {
        StateMachine::setState(STATE_LEVEL_SELECT);
        frames(2);
        progress().selectedLevel = c.level;
        press(FIRE);
        frames(3);
        EXPECT_EQ(StateMachine::current(), c.state) << "level " << c.level;
        if (c.target != -1) {
            EXPECT_EQ(LoadingScreen::state().target, c.target);
        }
    }
    // The briefing: No goes back with the hint (level 2 is unfinished)...
    StateMachine::setState(STATE_BRIEFING);
    frames(2);
    progress().levelGrade[1] = 1;
    command(CMD_NO);
    frames(2);
    EXPECT_EQ(StateMachine::current(), STATE_LEVEL_SELECT);
    EXPECT_TRUE(game::Popup::visible());
    // ... Yes plays the level.
    StateMachine::setState(STATE_BRIEFING);
    frames(2);
    command(CMD_YES);
    frames(2);
    EXPECT_EQ(LoadingScreen::state().target, STATE_SWING_STAGE);
}

TEST_F(LevelSelectTest, AwardsLeadThroughTheNoticesAndTheLastLevelCountsOnce) {
    bootToMainMenu();
    struct Case {
        bool firstFinish;
        int stars, notice, next;
    };
    for (const Case& c : {Case{true, 50, STATE_NOTICE_ALL_LEVELS, STATE_NOTICE_FINISHED},
                          Case{true, 81, STATE_NOTICE_ALL_LEVELS, STATE_NOTICE_PERFECT},
                          Case{false, 81, STATE_NOTICE_PERFECT, STATE_LEVEL_SELECT}}) {
        for (int level = 1; level <= 27; ++level) progress().levelGrade[static_cast<std::size_t>(level)] = 4;
        progress().totalStars = c.stars;
        StateMachine::state().gradeImproved = true;
        StateMachine::state().firstFinish = c.firstFinish;
        StateMachine::setState(STATE_LEVEL_SELECT);
        frames(3);
        EXPECT_EQ(LoadingScreen::state().target, c.notice);
        runUntil(c.notice, 400);
        frame();
        press(FIRE);
        frames(3);
        EXPECT_EQ(LoadingScreen::state().target, c.next) << c.stars;
        EXPECT_FALSE(StateMachine::state().gradeImproved);
    }
    // Notice 7: No asks about a reset; Yes there starts over.
    LoadingScreen::loadThen(STATE_NOTICE_FINISHED);
    runUntil(STATE_NOTICE_FINISHED, 400);
    frame();
    command(CMD_NO);
    frames(2);
    EXPECT_EQ(StateMachine::current(), STATE_NOTICE_RESET);
    command(CMD_YES);
    frames(3);
    EXPECT_EQ(menu(), 2);
    EXPECT_EQ(progress(), SavedGame::defaultProgress());

    // Only the first finish of the last level is the game's end.
    progress().selectedLevel = 27;
    progress().levelGrade[27] = 1;
    StateMachine::levelEnd(1, 2, 100);
    EXPECT_TRUE(StateMachine::state().firstFinish);
    StateMachine::levelEnd(1, 3, 100);
    EXPECT_FALSE(StateMachine::state().firstFinish);
    EXPECT_TRUE(StateMachine::state().gradeImproved);
}

TEST_F(LevelSelectTest, TheRewardUnlocksTheChosenItemOrIsSkippedWhenNothingIsLeft) {
    bootToMainMenu();
    progress().totalStars = 7;
    progress().unlockMask = 0x01;
    progress().unlockCount = 1;
    LoadingScreen::loadThen(STATE_REWARD);
    runUntil(STATE_REWARD, 400);
    EXPECT_NE(out_.str().find("unlockScreenYOffset "), std::string::npos);
    // Item 0 is taken: the first on offer is its follow-up, item 1 comes next.
    EXPECT_EQ(RewardScreen::state().panel.selected(), 1);
    frames(80);
    press(DOWN);
    frames(2);
    const int chosen = RewardScreen::state().panel.selected();
    EXPECT_GT(chosen, 1);
    press(FIRE);
    frames(3);
    EXPECT_EQ(progress().unlockMask, 0x01 | (1 << chosen));
    EXPECT_EQ(progress().unlockCount, 2);
    EXPECT_EQ(SavedGame::loadProgress().unlockMask, progress().unlockMask);
    runUntil(STATE_LOADING, 200);
    EXPECT_EQ(LoadingScreen::state().target, STATE_LEVEL_SELECT);

    // Every item that can be offered is taken: straight on to the level select.
    progress().unlockMask = 0x1BF;
    LoadingScreen::loadThen(STATE_REWARD);
    for (int i = 0; i < 400 && StateMachine::current() != STATE_REWARD; ++i) frame();
    frame();
    EXPECT_EQ(StateMachine::current(), STATE_LOADING);
    EXPECT_EQ(LoadingScreen::state().target, STATE_LEVEL_SELECT);
}

}  // namespace
