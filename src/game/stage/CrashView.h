// A development application (-MIDletClass CrashView) that plays the crash
// stage of one level on its own, with a bank of launches chosen in the
// environment instead of won in the swing stage:
//   TIDEPOOL_LEVEL     the level, 1..27 (default 1)
//   TIDEPOOL_LAUNCHES  launches banked (default 5)
//   TIDEPOOL_UNLOCKS   the player's unlock mask (default: the saved one)
//   TIDEPOOL_SMASH     launches (0-based, comma-separated) with the smash power-up
//   TIDEPOOL_AIMS      aim charges per launch, comma-separated ("1,0,2")
//   TIDEPOOL_SEED      the world's random seed (default: the clock)
//   TIDEPOOL_TARGET    the level's target count instead of the map's
// The stage runs as the game runs it, through its results and levelEnd,
// which saves the progress ("g") and prints the outcome; the stage then
// starts again. Retry starts it again too; the level select and the pause
// command (Escape) quit. Phase changes are printed as "crash phase N".
#pragma once

#include "game/GameMidlet.h"

namespace game::stage {

class CrashView final : public GameMidlet {
public:
    static constexpr const char* kClassName = "CrashView";
    static constexpr int kDefaultLaunches = 5;

    static void registerClass();

    void resetFrameClock() override {}
    void onLifecycle(int event) override;
    void onKey(int key, int type) override;
    void onPointer(int x, int y, int type) override;
    void paintFrame(javax::microedition::lcdui::Graphics& g) override;
    void tick(int frameMs) override;

private:
    void open();
    void bank();
    void handle();

    bool opened_ = false;
    int setupStep_ = 0;
    bool ready_ = false;
    int lastPhase_ = -1;
};

}  // namespace game::stage
