#include "game/flow/StateMachine.h"

#include <algorithm>
#include <atomic>
#include <map>

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/MenuPanels.h"
#include "game/flow/ScreenTable.h"
#include "game/save/SavedGame.h"

namespace game::flow {

namespace {
constexpr int kBackspace = 8;
constexpr int kFullScreenKey = 122;

std::map<int, Screen>& table() {
    static std::map<int, Screen> t = ScreenTable::defaults();
    return t;
}

int bitOfDigit(int digit) {
    switch (digit) {
    case '4': return KEY_LEFT;
    case '6': return KEY_RIGHT;
    case '2': return KEY_UP;
    case '8': return KEY_DOWN;
    case '5': return KEY_FIRE;
    default: return 0;
    }
}

// States in which losing the focus opens no menu: the loaders, the
// splash (it opens the main menu), the menus themselves, and the
// one-frame hand-overs whose work must not be dropped.
bool pauseOpensMenu(int s) {
    switch (s) {
    case STATE_MENU:
    case STATE_LOAD_DATA:
    case STATE_SPLASH:
    case 14:
    case 15:
    case STATE_MORE_GAMES:
    case STATE_RETURN:
    case STATE_GRADIENT:
    case STATE_BOOT:
    case STATE_LOADING: return false;
    default: return true;
    }
}
}  // namespace

StateMachine::State& StateMachine::state() { return Brindle::shared().machine; }

void StateMachine::setState(int s) { state().nextState = s; }

void StateMachine::gotoMenu(int menu) {
    state().pendingMenu = menu;
    setState(STATE_MENU);
}

bool StateMachine::menuHasMusic(int menu) {
    switch (menu) {
    case 0:
    case 1:
    case 3:
    case 4:
    case 5:
    case 6:
    case 20:
    case 24: return false;
    default: return true;
    }
}

int StateMachine::takeStep() {
    State& m = state();
    if (m.stepAccumulator <= kMinStepMs) return 0;
    const int step = std::min(m.stepAccumulator, kMaxStepMs);
    m.stepAccumulator = 0;
    return step;
}

void StateMachine::changeState() {
    State& m = state();
    int previous = m.state;
    m.state = m.nextState;
    m.nextState = STATE_NONE;
    m.keyBits = 0;
    if (previous == STATE_MENU) previous = m.menuOpenedFrom;
    m.previousState = previous;
    if (m.state == STATE_MENU) m.menuOpenedFrom = previous;
    Brindle::publishState(m.state);
    MenuPanels::buildPauseMenu();
    if (const auto& enter = screen(m.state).enter) enter();
    m.stepAccumulator = 0;
}

void StateMachine::openPendingMenu() {
    State& m = state();
    if (m.pendingMenu == -1 || m.state != STATE_MENU) return;
    m.menuId = m.pendingMenu;
    m.pendingMenu = -1;
    if (TextPanel* panel = MenuPanels::panel(m.menuId)) panel->reset();
    if (m.menuId == 3 || m.menuId == 4 || m.menuId == 5) {
        SoundPlayer::stopMusic();
        m.musicState = MUSIC_REQUESTED;
    }
    m.keyBits = 0;
}

void StateMachine::tick(int frameMs) {
    State& m = state();
    m.frameMs = frameMs;
    if (m.nextState != STATE_NONE) changeState();
    openPendingMenu();
    if (m.state == STATE_MENU && menuHasMusic(m.menuId) && m.musicState == MUSIC_REQUESTED) {
        SoundPlayer::playMusic(SoundPlayer::kMenuMusic);
        m.musicState = MUSIC_PLAYING;
    }
    // A long stall counts once, capped like a step.
    m.stepAccumulator = std::min(m.stepAccumulator + std::max(frameMs, 0), 1 << 20);
    if (const auto& update = screen(m.state).update) update(frameMs);
}

void StateMachine::paint(javax::microedition::lcdui::Graphics& g) {
    if (const auto& paint = screen(state().state).paint) paint(g);
}

void StateMachine::onKey(int key, int type) {
    State& m = state();
    // Backspace is the right softkey of a desktop keyboard.
    if (key == kBackspace && type != GameMidlet::KEY_COMMAND) {
        const int command = MainCanvas::state().rightCommand;
        if (type == GameMidlet::KEY_PRESSED && command != -1) onKey(command, GameMidlet::KEY_COMMAND);
        return;
    }
    if (type == GameMidlet::KEY_PRESSED && key == kFullScreenKey) MenuPanels::fullScreenKeyPressed();
    if (type == GameMidlet::KEY_PRESSED || type == GameMidlet::KEY_RELEASED) {
        const int bit = bitOfDigit(MainCanvas::keyToDigit(key));
        if (type == GameMidlet::KEY_PRESSED)
            m.keyBits |= bit;
        else
            m.keyBits &= ~bit;
    }
    if (const auto& handler = screen(m.state).key) handler(key, type);
}

void StateMachine::onPointer(int x, int y, int type) {
    if (const auto& handler = screen(state().state).pointer) handler(x, y, type);
}

void StateMachine::onLifecycle(int event) {
    State& m = state();
    switch (event) {
    case GameMidlet::LIFECYCLE_STARTED: setState(STATE_BOOT); break;
    case GameMidlet::LIFECYCLE_PAUSED:
        m.musicState = MUSIC_NONE;
        if (m.state == STATE_SPLASH) {
            gotoMenu(2);
            // The main menu plays its tune once the game is back.
            m.musicState = MUSIC_REQUESTED;
        } else if (pauseOpensMenu(m.state)) {
            gotoMenu(4);
        }
        break;
    case GameMidlet::LIFECYCLE_RESUMED: {
        // What will be in force at the next frame.
        const int s = m.nextState != STATE_NONE ? m.nextState : m.state;
        const int menu = m.pendingMenu != -1 ? m.pendingMenu : m.menuId;
        if ((s == STATE_MENU && menuHasMusic(menu)) || s == STATE_GRADIENT) m.musicState = MUSIC_REQUESTED;
        m.keyBits = 0;
        break;
    }
    case GameMidlet::LIFECYCLE_EXITING: SoundPlayer::stopMusic(); break;
    default: break;
    }
}

void StateMachine::levelEnd(int result, int stars, int score) {
    State& m = state();
    format::Progress& progress = Brindle::shared().progress;
    const int level = progress.selectedLevel;
    const bool lastLevel = level == format::Progress::kLevels;
    const bool unfinished = lastLevel && progress.levelGrade[static_cast<std::size_t>(level)] < 2;
    const SavedGame::LevelEnd end = SavedGame::levelEnd(progress, level, result, stars, score);
    if (result == 3) {
        // The notices confirmed: nothing was played.
        LoadingScreen::loadThen(end.nextState);
        return;
    }
    m.gradeImproved = end.gradeImproved;
    // The last level finished for the first time: the game is finished.
    m.firstFinish = unfinished && end.gradeImproved;
    LoadingScreen::loadThen(end.nextState);
}

const Screen& StateMachine::screen(int s) {
    static const Screen none;
    const auto& t = table();
    const auto it = t.find(s);
    return it == t.end() ? none : it->second;
}

void StateMachine::setScreen(int s, Screen screen) { table()[s] = std::move(screen); }

void StateMachine::resetScreens() { table() = ScreenTable::defaults(); }

}  // namespace game::flow
