#include "game/flow/LevelSelect.h"

#include <algorithm>
#include <cstdlib>

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/flow/LevelBrowser.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuBackground.h"
#include "game/flow/StateMachine.h"
#include "game/save/SavedGame.h"
#include "game/ui/Popup.h"
#include "javax/microedition/lcdui/Graphics.h"

namespace game::flow {

using javax::microedition::lcdui::Graphics;

namespace {
constexpr int kH = MainCanvas::kScreenHeight;
// A click this close to the selected icon plays it.
constexpr int kIconReach = 48;

// The pause menu on the left, so that Escape (the left softkey) opens it.
void setSoftkeys() {
    MainCanvas::clearSoftkeys();
    MainCanvas::setSoftkey(CMD_PAUSE, 1);
    MainCanvas::setSoftkey(CMD_SELECT_LEVEL, 2);
}

void prepareBrowser() {
    LevelBrowser::prepare();
    LevelSelect::state() = {};
}

void onKey(int key, int type) {
    LevelSelect::State& s = LevelSelect::state();
    if (type == GameMidlet::KEY_COMMAND) {
        if (key == CMD_PAUSE) StateMachine::gotoMenu(4);
        if (key == CMD_SELECT_LEVEL) s.fireRequest = true;
        s.keyPressed = true;
        return;
    }
    if (type != GameMidlet::KEY_PRESSED) return;
    s.keyPressed = true;
    switch (MainCanvas::keyToDigit(key)) {
    case '4': s.moveRequest = -1; break;
    case '6': s.moveRequest = 1; break;
    case '5': s.fireRequest = true; break;
    default: break;
    }
}

void onPointer(int x, int y, int type) {
    LevelSelect::State& s = LevelSelect::state();
    const LevelBrowser::State& b = LevelBrowser::state();
    if (type == GameMidlet::POINTER_WHEEL_UP) s.moveRequest = -1;
    if (type == GameMidlet::POINTER_WHEEL_DOWN) s.moveRequest = 1;
    if (type != GameMidlet::POINTER_PRESS) return;
    s.keyPressed = true;
    if (std::abs(x - b.selectedX) <= kIconReach && std::abs(y - b.selectedY) <= kIconReach)
        s.fireRequest = true;
    else
        s.moveRequest = x < b.selectedX ? -1 : 1;
}

// The browser's frame: sprites, the pop-up, then one step of movement.
// True when a step was taken after the slide-in.
bool browse(int frameMs) {
    LevelSelect::State& s = LevelSelect::state();
    LevelBrowser::updateSprites(frameMs);
    Popup::update(frameMs);
    const int step = StateMachine::takeStep();
    if (step == 0) return false;
    if (s.slideClock < LevelSelect::kSlideInMs) {
        s.slideClock = std::min(s.slideClock + step, LevelSelect::kSlideInMs);
        return false;
    }
    if (s.moveRequest != 0) {
        LevelBrowser::move(s.moveRequest);
        s.moveRequest = 0;
    }
    LevelBrowser::scroll(step);
    return true;
}

void paint(Graphics& g) {
    MenuBackground::drawCached(g);
    LevelBrowser::draw(g, LevelSelect::slideShift());
    if (StateMachine::current() == STATE_LEVEL_SELECT) LevelBrowser::drawInfo(g);
    Popup::draw(g);
}
}  // namespace

LevelSelect::State& LevelSelect::state() { return Brindle::shared().levelSelect; }

int LevelSelect::slideShift() {
    const int t = std::clamp(state().slideClock, 0, kSlideInMs);
    return (kSlideInMs - t) * kH / kSlideInMs;
}

bool LevelSelect::awardCheck() {
    StateMachine::State& m = StateMachine::state();
    if (!m.gradeImproved) return false;
    m.gradeImproved = false;
    if (m.firstFinish) {
        m.firstFinish = false;
        LoadingScreen::loadThen(STATE_NOTICE_ALL_LEVELS);
        return true;
    }
    const auto& grades = Brindle::shared().progress.levelGrade;
    if (std::all_of(grades.begin() + 1, grades.end(), [](int grade) { return grade >= 4; })) {
        LoadingScreen::loadThen(STATE_NOTICE_PERFECT);
        return true;
    }
    return false;
}

void LevelSelect::fire() {
    const format::Progress& p = Brindle::shared().progress;
    const int level = std::clamp(p.selectedLevel, 1, LevelBrowser::kLevels);
    const int grade = p.levelGrade[static_cast<std::size_t>(level)];
    if (grade == 0) return;
    if (grade == 1) {
        Popup::hide();
        Popup::state().marked = false;
        LoadingScreen::loadThen(STATE_SWING_STAGE);
    } else {
        StateMachine::setState(STATE_BRIEFING);
    }
}

Screen LevelSelect::screen() {
    Screen screen;
    screen.prepareLoad = prepareBrowser;
    screen.loadStep = [](int step) { return LevelBrowser::loadStep(step, false); };
    screen.enter = [] {
        SavedGame::saveProgress(Brindle::shared().progress);
        // A notice is due: it loads at once.
        if (awardCheck()) return;
        if (StateMachine::state().previousState != STATE_LEVEL_SELECT_INTRO)
            SoundPlayer::playMusic(SoundPlayer::kLevelSelectMusic);
        setSoftkeys();
        State& s = state();
        s.moveRequest = 0;
        s.fireRequest = false;
    };
    screen.update = [](int frameMs) {
        LevelBrowser::updateInfo(frameMs);
        if (!browse(frameMs)) return;
        State& s = state();
        if (s.fireRequest) {
            s.fireRequest = false;
            fire();
        }
    };
    screen.paint = paint;
    screen.key = onKey;
    screen.pointer = onPointer;
    return screen;
}

Screen LevelSelect::introScreen() {
    Screen screen;
    screen.prepareLoad = prepareBrowser;
    screen.loadStep = [](int step) { return LevelBrowser::loadStep(step, true); };
    screen.enter = [] {
        SoundPlayer::playMusic(SoundPlayer::kLevelSelectMusic);
        setSoftkeys();
        state().keyPressed = false;
    };
    screen.update = [](int frameMs) {
        if (!browse(frameMs)) return;
        State& s = state();
        if (s.keyPressed || LevelBrowser::settled()) StateMachine::setState(STATE_LEVEL_SELECT);
    };
    screen.paint = paint;
    screen.key = onKey;
    screen.pointer = onPointer;
    return screen;
}

}  // namespace game::flow
