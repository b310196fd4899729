// The game's top-level state machine. The folder:
//
//   GameStates      state numbers, commands, key bits
//   StateMachine    requests, the state change with its entry action, the
//                   step accumulator, lifecycle and input routing, and the
//                   table of screens (this file)
//   ScreenTable     which screen runs each state (the one place to wire a
//                   new screen in)
//   LoadingScreen   loadThen and the loading screen (1000)
//   BootLoader      boot (24), data loader (1), reload (23), command table
//   Splash          the logo sequence (2)
//   IntroStory      the picture story before the first level select (3)
//   MenuPanels      building the menu panels and the options
//   Menus           the menu screen (0), its actions, returnTo (17), more games (16)
//   MenuBackground  the sky, sea and backdrops behind the menus
//   Assets          texts, pictures and sprites that may be missing
//
// A screen is a set of handlers for one state: what happens on entering
// it, each frame, when drawing, on keys and the pointer, and while the
// loading screen prepares it. All state lives in Brindle::shared(); the
// handlers are code only. Frame thread only.
#pragma once

#include <functional>

#include "game/flow/GameStates.h"

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::flow {

struct Screen {
    using Graphics = javax::microedition::lcdui::Graphics;
    // After the state became the one in force (previousState is set).
    std::function<void()> enter;
    // Every frame, after the machine's own steps; frameMs is the averaged
    // frame time. Timed screens take their step with takeStep().
    std::function<void(int frameMs)> update;
    std::function<void(Graphics&)> paint;
    // Hook events of GameMidlet (key bits are already updated).
    std::function<void(int key, int type)> key;
    std::function<void(int x, int y, int type)> pointer;
    // loadThen(this state): at once, before the loading screen shows.
    std::function<void()> prepareLoad;
    // Once the loading bar has run: step 0, 1, 2 ... one a frame until it
    // returns true (at most LoadingScreen::kExtraSteps count on the bar).
    std::function<bool(int step)> loadStep;
};

class StateMachine {
public:
    static constexpr int kMinStepMs = 20, kMaxStepMs = 200;
    // musicState
    static constexpr int MUSIC_NONE = 0, MUSIC_REQUESTED = 1, MUSIC_PLAYING = 2;

    struct State {
        int state = STATE_BOOT;
        int nextState = STATE_NONE;
        int previousState = STATE_BOOT;
        // The state in force when STATE_MENU was entered.
        int menuOpenedFrom = STATE_NONE;
        int menuId = -1;
        int pendingMenu = -1;
        int keyBits = 0;
        int stepAccumulator = 0;
        int frameMs = 0;
        int musicState = MUSIC_NONE;
        int loadProgress = 0;
        // A settings record was read at boot (or property 7 is set).
        bool settingsFound = false;
        // An option changed since the settings were last saved.
        bool settingsDirty = false;
        // Where STATE_RETURN goes: a state, or when 0 the menu.
        int returnState = 0, returnMenu = 0;
        int returnFrames = 0;
        // Drift of the menu background's strips (ms).
        int backdropClock = 0;
        // What the last level's end did to the progress (the level select's
        // award check reads and clears them): a better grade, and the last
        // level finished for the first time.
        bool gradeImproved = false, firstFinish = false;
    };
    static State& state();

    // ---- requests ----
    static void setState(int s);
    static void gotoMenu(int menu);
    static int current() { return state().state; }

    // ---- the frame ----
    // Steps 1 to 4 of a frame: the requested state change with its entry
    // action, a pending menu, the menu music, the state's update.
    static void tick(int frameMs);
    static void paint(javax::microedition::lcdui::Graphics& g);
    static void onKey(int key, int type);
    static void onPointer(int x, int y, int type);
    static void onLifecycle(int event);
    // The step of a timed state: 0 while the accumulator holds 20 ms or
    // less, else what it holds (at most 200 ms), emptying it.
    static int takeStep();

    // A level ended: the progress is graded and saved, and the loading
    // screen runs towards the state the result leads to.
    static void levelEnd(int result, int stars, int score);

    // ---- screens ----
    // The screen of a state (an empty one when none is set).
    static const Screen& screen(int s);
    static void setScreen(int s, Screen screen);
    // The table back to ScreenTable's (tests).
    static void resetScreens();

    // Menus that play the menu music.
    static bool menuHasMusic(int menu);

private:
    static void changeState();
    static void openPendingMenu();
};

}  // namespace game::flow
