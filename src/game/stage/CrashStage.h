// The second half of a level: the launches the swing stage banked are spent
// one by one. The character runs from the start point, takes off on FIRE,
// flies, bounces and slides through the world, breaking what it hits; a
// launch ends after its bounces, a slow slide, a fast one that will not
// stop, or a minute. When every target is gone or the launches are spent,
// the level is graded: below its target count the failure panel offers the
// swing stage again, otherwise the orange wipe, the results and FIRE end
// the level through the application's levelEnd.
//
// The folder:
//   CrashStage    state, setup steps, phases, keys, grading (CrashStage.cpp)
//                 and one launch's physics (CrashLaunch.cpp)
//   CrashPainter  the stage's drawing: world layers, character, HUD, wipe,
//                 results and failure screens
//   CrashPanels   the hint band, the results and the failure panels
//   CrashScreen   the stage as the state machine's screen for state 1002
//   CrashView     a development application that plays the stage alone
//
// All state is in State (with the world's in GameWorld::State), both plain
// values: a solver snapshots the two, drives the stage with pressFire and
// update, and reads the outcome from phase, launchesLeft and the world's
// statistics. The stage asks the application for what it cannot do itself
// (end the level, retry, leave, pause) through takeRequest.
#pragma once

#include <cstdint>

#include "game/SpriteSheet.h"
#include "game/world/GameWorld.h"

namespace game::format {
struct Progress;
}

namespace game::stage {

class CrashStage {
public:
    enum Phase : int { INTRO = 0, PLAY = 1, TALLY = 2, RESULTS = 3, FINALE = 5, FAILED = 6, WIPE = 7 };
    enum LaunchMode : int { RUN_UP = 0, AIRBORNE = 1, BOUNCING = 2, STOPPED = 3, AIMING = 4 };
    // What the stage needs the application to do.
    enum class Request : int { NONE, LEVEL_END, RETRY, LEVEL_SELECT, PAUSE };

    // ---- timing ----
    static constexpr int kMinStepMs = 21, kMaxStepMs = 200;
    static constexpr int kIntroMs = 900;
    static constexpr int kFinaleMs = 5500, kRevealPanMs = 3500;
    static constexpr int kWipeMs = 2048;
    static constexpr int kSlowMs = 500;
    static constexpr int kStopPanAfterMs = 500, kStopResetAfterMs = 1300, kPanBackMs = 1000;
    // Whatever the level data say, a launch ends after this much game time.
    static constexpr int kLaunchCapMs = 60000;
    static constexpr int kAimTurnShift = 3;  // one turn of the aim in 2048 ms

    // ---- physics ----
    static constexpr int kSlideFriction = 240, kSlideRestitution = 35;
    static constexpr int kSlowSpeed = 550, kRunawaySpeed = 15001;
    static constexpr int kStuckContacts = 99;
    static constexpr int kMinAimSpeed = 8500;
    static constexpr int kTrailMs = 900;

    // ---- unlock bits of the progress ----
    static constexpr int kUnlockTrail = 0x01, kUnlockSmashNeighbours = 0x08, kUnlockSmash = 0x10, kUnlockAim = 0x20,
                         kUnlockExtra = 0x40, kUnlockBounces = 0x80;

    // ---- the score ----
    static constexpr int kTargetPoints = 10, kTilePoints = 1, kComboPoints = 5, kLaunchBonus = 50;

    // ---- ids ----
    static constexpr std::int32_t kPoweredMarker = 0x5010E;
    static constexpr std::int32_t kLaunchIcon = 0x30043, kLaunchDigits = 0x3006B, kHudBadge = 0x50080;
    static constexpr std::int32_t kAimRing = 0x4003E, kAimPointer = 0x40040;
    static constexpr std::int32_t kTargetIcon = 0x40072, kLaunchCounter = 0x4006D, kSeparator = 0x40028,
                                  kGoalDigits = 0x4005A;
    static constexpr std::int32_t kResultsPicture = 0x60013, kGradeStars = 0x60018;
    // The crab that rides the edge of the orange band (a sprite of its own:
    // the world's results sprite is also the level browser's frame tile).
    static constexpr std::int32_t kResultsCharacter = 0x60070;
    static constexpr std::int32_t kTakeOffSound = 0x30003, kAimSound = 0x30002, kRevealSound = 0x30008;
    static constexpr std::int32_t kLevelFile = 0x10002;
    // Texts of the results and failure panels.
    static constexpr int kClearedText = 140, kPerfectText = 141, kFailedText = 142, kScoreText = 143,
                         kTargetsText = 144, kGoalText = 145;
    // Hint texts by progress flag.
    static constexpr int kFirstHint = 86, kAimHint = 88, kBarrierHint = 100, kFinaleHint = 103;

    // ---- commands ----
    static constexpr int kCommandConfirm = 1, kCommandPause = 9, kCommandRetry = 0xCA, kCommandLevels = 0xCB,
                         kCommandQuit = 13;

    struct State {
        int phase = INTRO;
        int launchesLeft = 0;  // not counting the launch in play
        int contactCount = 0;
        int slowTimer = kSlowMs;
        bool stuck = false;
        bool smashTrail = false;
        int aimAngle = 0;  // 16.16, 256 steps a turn
        bool fireLatch = false;   // FIRE held and not yet used
        bool fireTapped = false;  // pressed since the last step, even if already released
        int cameraEase = 0, cameraOffsetX = 0, cameraOffsetY = 0;
        int dustTimer = 0, stopTimer = 0, launchClock = 0;
        int introTimer = 0, finaleTimer = 0, resultsTimer = 0, wipeTimer = 0, failTimer = 0;
        int goalCount = 0;
        bool gradeImproved = false, firstFinish = false;
        // Hints: one popup at a time, one waiting.
        bool popupShown = false;
        int pendingPopup = -1;
        bool aimHintArmed = false, aimHintQueued = false;
        int accumulator = 0;

        // The outcome, set at the tally.
        bool cleared = false;      // every target destroyed
        int comboSteps = 0;        // destructions after the first of each chain
        int grade = 0, score = 0;  // grade 1..3 on a pass
        bool resultsReady = false;  // the confirm softkey is up
        bool levelEnded = false;    // levelEnd asked for; never twice
        Request request = Request::NONE;
        int requestResult = 0;  // levelEnd's result: 1, or 2 after a finale

        int level = 1;
        bool loadFailed = false;
        bool redraw = false;

        // The HUD, the results and the aim marker.
        SpriteSheet launchIcon, launchDigits, hudBadge, aimRing, aimPointer;
        SpriteSheet targetIcon, launchCounter, separator, goalDigits;
        SpriteSheet resultsPicture, gradeStars, resultsCharacter;
        int resultsScroll = -500;
    };

    static State& state();
    static void resetClassState();

    // One step of loading the stage (0, 1, 2, ... once a frame); true when
    // the stage is ready (step 12). The level is the progress's selected
    // level; the launches and their power-ups are the world's bank.
    static bool setupStep(int step);
    // A frame: frame times are gathered until a step of 21..200 ms is due.
    static void tick(int frameMs);
    // One step of dt ms.
    static void update(int dt);
    // GameMidlet key types; for KEY_COMMAND code is a command id. action is
    // the key's game action digit (MainCanvas::keyToDigit: '5' is FIRE).
    static void onKey(int type, int code, int action);
    // A click (left button) in the play area is FIRE; the softkey labels
    // take their own clicks before this.
    static void onPointer(int type);
    // FIRE pressed and released, as a solver would press it between steps.
    static void pressFire();
    static void releaseFire();
    // The request waiting for the application, cleared.
    static Request takeRequest();
    // Back from the pause menu: the phase's softkeys again.
    static void resume();

    // ---- the rules, also read by tests and the painter ----
    static void resetLaunch(bool consume);
    static bool checkCleared();
    static void panToStart(int ms);
    // The launch in play: 0 for the first banked launch.
    static int launchIndex();
    static bool hasAimCharge();
    // The launch carries a power-up (smash or aim): the world's effect 6
    // shows the power-up marker.
    static void updatePowered();
    static void showHint(int textId);
    static void flushCombo();
    static int maxBounces();
    // What the outcome is worth: targets, tiles, combo steps and, when
    // everything was destroyed, the launches left.
    static int computeScore();
    static int levelParam(int i);
    // Unlock bits of the player in force.
    static bool unlocked(int bit);

private:
    // CrashLaunch.cpp
    static void launchStep(int dt, bool fire);
    static void stoppedStep(int dt);
    static void aimStep(int dt, bool fire);
    static void endLaunch();

    static void tally();
    static void enterFailed();
    static void resultsAnimation(int dt);
    static void revealFinale();
    static void showHints();
    static void popupDismissed();
    static void request(Request r, int result = 0);
    static format::Progress& progress();
};

}  // namespace game::stage
