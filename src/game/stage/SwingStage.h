// The swing stage, first half of every level and the whole of a bonus
// level. A queue of characters waits left of the drop point; one at a time
// a character comes into play and falls, hangs from a pendulum, bobs on a
// rope or bounces on a trampoline (the level's drop mode). FIRE swings a
// spring-loaded bat about its pivot; a struck character flies off and banks
// a launch for the crash stage when it leaves the map, touching the smash
// or aim target on its way hands that launch a power-up, and a wall makes
// it bounce once (off a slope, or anything on a bonus level) or splat.
//
// The folder:
//   SwingStage    state, setup steps, the per-frame step, keys (this file)
//   SwingPainter  the stage's drawing: world picture, rail, marks, scene,
//                 counters, labels, panels and the closing wipe
//   SwingScreen   the stage as the state machine runs it (state 1001)
//   SwingView     a development application that plays one level's stage
//
// All of the stage is one copyable State (with GameWorld::State beside it a
// solver can snapshot a stage and restore it). The stage never changes the
// application's state itself: where it would leave (to the crash stage, the
// level select, the level end, the pause menu) it files a request that its
// host takes with takeRequest(), once.
//
// Banked launches and their power-ups go to the crash stage through the
// world: GameWorld::State::launchesBanked, launchSmash[i], launchAims[i]
// for launch i in banking order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "game/SpriteSheet.h"
#include "game/ui/TextPanel.h"
#include "game/world/GameWorld.h"

namespace game::stage {

class SwingStage {
public:
    enum Phase : int { INTRO = 0, PLAY = 1, FAILED = 2, END_WAIT = 3, BONUS_PENDING = 4, BONUS_RESULTS = 5 };
    enum DropMode : int { FALL = 0, PENDULUM = 1, ROPE = 2, TRAMPOLINE = 3 };
    // Outcome of the last drop.
    enum Rating : int { NO_RATING = 0, TARGET_OUT = 1, OUT = 2, SPLAT = 3 };
    // What the stage asks of its host.
    enum Request : int { NO_REQUEST = 0, TO_CRASH_STAGE, TO_LEVEL_SELECT, LEVEL_END, PAUSE_MENU };

    // Sprite slots (stageSprites); 0, 2, 5 and 10 stay empty.
    enum Slot : int {
        HUB = 1, MARKS_A = 3, MARKS_B = 4, WAITING = 6, IDLE_3 = 7, SHOT_ICON = 8, SHOT_DIGITS = 9, ROPE_SEGMENT = 11,
        BASE_REST = 12, BASE_SWING = 13, SMASH_TARGET = 14, STEPPING = 15, IDLE_4 = 16, IDLE_0 = 17, IDLE_1 = 18,
        IDLE_2 = 19, LABEL_1 = 20, LABEL_2 = 21, LABEL_3 = 22, BAT_HEAD = 23, kSlots = 24
    };
    // The character's seven animations in this stage.
    enum CharacterAnimation : int { FALLING = 0, FLYING_RIGHT = 1, BOBBING = 2, HANGING = 3, WALKING_BACK = 4, CLIMBING = 5, FLYING_LEFT = 6 };

    // Unlock bits of the player's progress that change this stage.
    static constexpr int kUnlockNine = 0x02, kUnlockThreeMore = 0x04, kUnlockSmashTarget = 0x10, kUnlockAimTarget = 0x20,
                         kUnlockDoubleAim = 0x100;
    // Commands: pause, retry, back to the levels, the results' OK and reopen.
    static constexpr int kCommandPause = 9, kCommandRetry = 0xCA, kCommandLevels = 0xCB, kCommandBack = 13,
                         kCommandOk = 1, kCommandReopen = 5;
    // Held-key bits.
    static constexpr int kHeldLeft = 1, kHeldRight = 2, kHeldUp = 4, kHeldDown = 8, kHeldFire = 0x10;

    static constexpr int kIntroMs = 800, kEndWaitMs = 2500, kRespawnMs = 700, kWalkMs = 750, kIdleAfterMs = 2000;
    static constexpr int kHitFreezeMs = 256, kSparkSpacingMs = 10;
    static constexpr int kDecalSlots = 20;
    static constexpr int kFirstSetupStep = 0, kLastSetupStep = 12;
    // A character's speed while it hangs, and the trampoline's throw.
    static constexpr int kHangingSpeed = 7000, kTrampolineThrow = -6400;

    // Texts: the rating labels, hints, the failure panel, bonus results.
    static constexpr int kLabelTexts[3] = {45, 25, 5};
    static constexpr int kFailText = 104, kBonusResultText = 106, kBonusPerfectText = 108;

    struct Decal {
        int x = 0, y = 0;  // 16.16
        int picture = 0;   // 1..16; 0 a free slot
        int speed = 0;
    };

    struct State {
        int swingPhase = INTRO;
        int phaseTimer = 0, introTimer = 0;
        int shotsLeft = 0;  // waiting in the queue, the one in play not counted
        int dropRating = NO_RATING;
        int holdX = 0, holdY = 0;  // hanging point in drop modes 1 and 2
        // Running time of the hanging motion, kept below kClockPeriod (the
        // motion repeats over it) so that it never overflows.
        int swingClock = 0, swingAngle = 0;
        int batAngle = 0;  // 16.16, never above the rest angle
        int batSpin = 0;   // 16.16 angle units per ms; positive turns away from rest
        int batArm = 0, batReach = 0, batTipX = 0, batTipY = 0, batFreeze = 0;
        int charVelX = 0, charVelY = 0, charRadius = 0;
        bool batted = true, hidden = true, firstBounceUsed = false, targetTouched = false, lastDropConsumed = false;
        bool facingLeft = true, fireDown = false;
        int respawnDelay = -1, walkTimer = -1, idleClock = 0, idleIndex = 0, sparkTimer = 0;
        std::array<Decal, kDecalSlots> decals{};

        std::array<SpriteSheet, kSlots> sprites;
        SpriteSheet trampoline, rail, aimTarget, wipe;
        // The bonus goal counter: digits and separator.
        SpriteSheet goalDigits, goalSeparator, launchCounter;
        bool textLabels = false;
        std::array<std::string, 3> labelTexts;
        TextPanel failPanel;
        int bonusGoal = 0;
        // Bonus results: the texts, and whether the level was finished
        // with a grade before.
        std::string resultText, perfectText;
        bool finishedBefore = false;

        int heldBits = 0;
        Request request = NO_REQUEST;
        // The stage has asked to be left; nothing else is asked until the
        // next start.
        bool leaving = false;
    };

    // The motion of the hanging point repeats exactly over this many ms
    // for every drop speed, and so does the rope's wave.
    static constexpr int kClockPeriod = 25600;

    static State& state();
    static void resetClassState();

    // ---- the state machine's share ----
    // One loading step (0, 1, 2, ...); true after the last one. The level
    // is the progress's selected level; the unlocks its unlock mask.
    static bool setupStep(int step);
    // Entering state 1001: the panel of the phase reopens, or the pause
    // softkey shows; returning (from the pause menu) the theme comes back.
    static void enter(bool returning);
    static void update(int dt);
    static void paint(javax::microedition::lcdui::Graphics& g);
    // A key event of the application: the key code (or a command id for
    // KEY_COMMAND) and the GameMidlet key type.
    static void key(int code, int type);
    // The request filed since the last call, once.
    static Request takeRequest();
    // The launches banked so far with their power-ups, as a line of text:
    // "3 launches (smash 010, aims 002)".
    static std::string bankedLaunches();
    // A bonus level's grade and score, for levelEnd(0).
    static int bonusStars();
    static int bonusScore();

    // ---- the stage's steps ----
    static void startSwing();
    static void stepCharacter(int dt);
    static void endDrop(bool consumed);
    static void moveHoldPoint(int dt);
    static void updateDecals(int dt);
    static void restartLabels();
    static int idleSlot();
    // One of the two bat sounds, chosen by the world's generator.
    static void playHitSound();
    // Characters in the queue at the start for an unlock mask.
    static int queueSize(int unlocks);

    // ---- geometry of a level's bat and drop (also for the level checker) ----
    struct Point {
        int x = 0, y = 0;
    };
    // The hanging point (drop modes 1 and 2) at phase angle 0..255.
    static Point holdPointAt(const world::GameWorld::SwingSetup& b, int tileWidth, int tileHeight, int angle);
    // The bat's tip at a bat angle (16.16) for an arm length.
    static Point tipAt(const world::GameWorld::SwingSetup& b, int arm, int batAngle);
    // Whether the swinging bat can strike the character in some drop mode's
    // motion: one it cannot reach would hang, bounce or be dropped again
    // for ever, and the stage could never go on.
    static bool batReachesDrop(const world::GameWorld::SwingSetup& b, int tileWidth, int tileHeight);

    // ---- read by the painter, views and tests ----
    static bool bonusLevel();
    static int unlocks();
    static bool batAtRest();
    // Frame f of s's animation, clamped to its frames; nothing without one.
    static void showFrame(SpriteSheet& s, int f);

private:
    static void comeIntoPlay();
    static void swingBat(int dt);
    // Each true when the drop ended.
    static bool moveCharacter(int dt, int vyOld);
    static bool wallContact(int r);
    static bool leaveMap();
    static void placeTip();
    static void hitTest(int oldX, int oldY, int oldTipX, int oldTipY);
    static void strike(int x, int y, int tipX, int tipY);
    static void poseCharacter();
    static void touchTargets();
    static void touchBonusObjects();
    static void updateIdle(int dt);
    static void buildFailPanel();
    // The world's results panel for a bonus level.
    static void showBonusResults();
    static void request(Request r);
};

}  // namespace game::stage
