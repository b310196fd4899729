// The world of a level: the tile map and its decoration layer, the objects
// standing in it, short-lived effects, the camera, the statistics that grade
// a level, the random generator, and what the level file says about the
// stages. There is one world (state()), refilled for every stage; all of it
// is one copyable value, so tests start clean and a solver can snapshot a
// stage and restore it.
//
// The folder:
//   FixedMath      sine, cosine, isqrt, approxDistance, gradeOf
//   GameRandom     the seeded generator
//   TileRules      tile kinds, slopes, breakable chains
//   FrameBoxes     hit boxes of a sprite's frames
//   GameWorld      state, objects, effects, statistics, camera (this file)
//   LevelLoader    loadLevel: a map of the level file into the world
//   TileCollision  tile queries, touchTile, sweep, smashTile, bounces
//   ObjectContacts updateObjects and the roaming target
//   WorldPainter   drawWorld, drawObjects, drawEffects, the front overlay
//
// Positions of moving things are 16.16 fixed point in map pixels; the
// roaming target's position and waypoints are whole pixels.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "game/SpriteSheet.h"
#include "game/ui/TextPanel.h"
#include "game/world/GameRandom.h"

namespace javax::microedition::lcdui {
class Image;
}

namespace game::world {

class GameWorld {
public:
    static constexpr int kObjectSlots = 40;
    static constexpr int kEffectSlots = 50;
    static constexpr int kObjectKinds = 17;
    static constexpr int kEffectKinds = 23;
    static constexpr int kLevelRows = 28;
    static constexpr int kMinParams = 24;
    static constexpr int kCellWidth = 40, kCellHeight = 32;
    // Sprite and sound ids the world uses itself.
    static constexpr std::int32_t kFloatingDigits = 0x40065;
    static constexpr std::int32_t kScorePopup = 0x40079;
    static constexpr std::int32_t kResultsSprite = 0x500F8;
    static constexpr std::int32_t kTilePicture = 0x60012;
    static constexpr std::int32_t kThemePattern = 0x400AD;
    static constexpr std::int32_t kBackOverlay = 0x400AB;
    static constexpr std::int32_t kBarrierSprite = 0x60044;
    static constexpr std::int32_t kFrontOverlay = 0x60045;
    // Edges of panel windows and of the pop-up band.
    static constexpr std::int32_t kFrameSprite = 0x30045;
    static constexpr std::int32_t kSmashSound = 0x30006;
    static constexpr int kSmashShakeTenths = 15;

    // Object kinds with a role of their own.
    enum ObjectKind : int { BUMPER = 3, FIRST_TARGET = 4, HIDDEN_TARGET = 10, BONUS = 14, SWITCH = 15, DECORATION = 16 };
    // Camera modes.
    enum CameraMode : int { FOLLOW = 0, PAN = 1, ZONE = 2, CHASE = 3 };

    // The character as the world's objects see it: the crash stage moves
    // it, the objects and the roaming target bounce it. Its position is
    // sprite.x, sprite.y (16.16, the centre).
    struct Character {
        SpriteSheet sprite;
        SpriteSheet powered;  // the look while the launch has aim charges; same animation calls
        int prevX = 0, prevY = 0;  // 16.16, the position before the last move
        int velX = 0, velY = 0;    // speed units (see the crash stage)
        int boxWidth = 10, boxHeight = 10;
        int launchMode = 0;  // 0 run-up, 1 airborne, 2 bouncing, 3 stopped, 4 aiming
        int bounceCount = 0;
        int trailTimer = 0;
        bool superSmash = false;
    };

    // The finale of a crash map (level record 13).
    struct Finale {
        bool present = false;  // the level has a finale
        int form = 0;          // the record's form + 1; chooses the final burst
        SpriteSheet sprite, opened;
        bool isOpen = false;
        int ropeX = 0, ropeBottomY = 0, ropeTopY = 0;
        int revealX = 0, revealY = 0;
        // The roaming target (pixels) and its travel sprite: x, y the
        // destination (0 none), vx the progress and vy the duration in ms.
        bool roaming = false;
        SpriteSheet target, travel;
        std::array<int, 12> waypoints{};  // six (x, y) pixel pairs, (0, 0) empty
        int hitsLeft = 0, hitsAtStart = 0;
    };

    // What the swing stage reads from its map (records 14..17).
    struct SwingSetup {
        int batPivotX = 0, batPivotY = 0;  // 16.16
        int batRestAngle = 0, batLength = 0, batKick = 0, batBrake = 0, batPower = 200;
        int dropX = 0, dropY = 0, dropSpread = 0, dropSpeed = 0, dropMode = 0;
        int smashTargetX = 0, smashTargetY = 0, aimTargetX = 0, aimTargetY = 0;
    };

    struct State {
        // ---- map ----
        std::vector<std::uint8_t> tileMap, decorLayer;  // mapCols x mapRows, row-major
        int mapCols = 0, mapRows = 0;
        int storedCols = 0, storedRows = 0;  // as the file holds them
        int padMode = 0, padLeft = 0, padTop = 0;
        int mapNumber = -1;
        int tileWidth = kCellWidth, tileHeight = kCellHeight;
        int mapPixelWidth = 0, mapPixelHeight = 0;
        int speedScaleX = kCellWidth * 0x1800, speedScaleY = kCellHeight * 0x1800;

        // ---- level ----
        std::vector<int> levelParams;  // at least kMinParams once a header was read
        int targetCount = 0;
        std::array<std::array<int, 4>, kLevelRows> levelTable{};
        bool levelTableLoaded = false;
        bool overlay = false, airStart = false, bonusLevel = false, hasBarriers = false;
        int startX = 0, startY = 0;                  // crash start point, 16.16
        int initialCameraX = 0, initialCameraY = 0;  // crash camera (record 11)
        SwingSetup swing;
        Finale finale;

        // ---- objects, effects, statistics ----
        std::array<std::optional<SpriteSheet>, kObjectSlots> objects;
        std::array<std::optional<SpriteSheet>, kEffectSlots> effects;
        int freeEffectHint = 0;
        std::array<int, 2 * kObjectKinds> objectStats{};
        int placedValue = 0, destroyedValue = 0, destroyedTiles = 0;
        int comboCount = 0, combos2 = 0, combos3 = 0, combosMore = 0;

        // ---- camera ----
        int cameraX = 0, cameraY = 0;
        int cameraMode = FOLLOW;
        int panStartX = 0, panStartY = 0, panEndX = 0, panEndY = 0, panDuration = 0, panElapsed = 0;
        std::array<int, 4> cameraZone{};  // x, y, width, height
        bool cameraMoved = false;

        // ---- contact state (TileCollision) ----
        int contactNormalX = 0, contactNormalY = 0;
        int friction = 0, restitution = 0;
        int allowedMoveX = 0, allowedMoveY = 0;
        int lastTile = -1;
        int contactX = 0, contactY = 0;
        bool tileSmashed = false;

        // ---- what the stage in force tells the world ----
        bool crashStage = false;     // the character may rise above the map
        bool chaseInFlight = false;  // the swing stage's character flies (camera mode 3)
        int unlocks = 0;             // the player's unlock mask
        int levelNumber = 0;
        int levelClock = 0, overlayClock = 0;  // ms
        bool launchPowered = false;  // effect 6 shows the power-up sprite

        // ---- sprites and pictures ----
        Character character;
        SpriteSheet floatingDigits, scorePopup, results, powerUp, barrier;
        SpriteSheet themePattern, backOverlay, frontOverlay;
        std::array<SpriteSheet, 2> backdrops;
        std::array<int, 4> themePalette{0xFFA055, 0xFFFD7D, 0x99E6FF, 0x8D7E7F};
        int theme = 0;
        std::shared_ptr<javax::microedition::lcdui::Image> tileImage;

        // ---- the swing stage's bank (read by the crash stage) ----
        int launchesBanked = 0;
        std::vector<char> launchSmash;
        std::vector<int> launchAims;

        // ---- shared with the screens around the stages ----
        SpriteSheet frame;  // kFrameSprite, made by the data loader
        // A screen-sized picture the stages draw their world into and the
        // briefing and level select keep their background in.
        std::shared_ptr<javax::microedition::lcdui::Image> screenBuffer;
        // The background in screenBuffer is drawn again by the next paint.
        bool backgroundDirty = false;
        // The results shown at the end of a level, and its window's clocks.
        TextPanel resultsPanel;
        int panelTimer = 0, resultsTimer = 0;

        // Control values of catmullRom.
        std::array<int, 4> catmull{};

        GameRandom random;
    };

    static State& state();
    // A fresh world; the generator is seeded from the runtime's clock.
    static void resetClassState();

    // ---- set-up ----
    // Speed scales from the cell size; the results sprite once.
    static void initWorld();
    static void setTheme(int theme);
    // The tile picture (descriptor 0x60012), loaded once.
    static void loadTileImage();
    // The full-screen layers of the crash stage: the theme-2 pattern, or on
    // overlay levels the back and front overlays.
    static void loadOverlays();

    // The frame sprite, once.
    static void createFrameSprite();
    // screenBuffer, made on first use (screen-sized, drawable).
    static javax::microedition::lcdui::Image& offscreen();
    static void markBackground() { state().backgroundDirty = true; }

    // ---- maths and chance (see FixedMath for the rest) ----
    static int nextRandom(int n);
    // Catmull-Rom value of the four control values at t (0..4096 spans c1..c2).
    static int catmullRom(int t);

    // ---- statistics ----
    static void resetStats();
    static void countStat(int kind, int which);
    static int placedTargets();
    static int destroyedTargets();
    static int placedBonus();
    static int destroyedBonus();
    static int objectValue(int kind);

    // ---- objects ----
    // The first free slot, or -1 when all are taken or the kind is unknown.
    static int spawnObject(int col, int row, int kind);
    static void clearObjects();
    static void destroyObject(int slot);
    static std::int32_t objectPicture(int kind);

    // ---- effects ----
    // kindWord: kind in bits 0..7, a parameter in bits 8..31.
    static void spawnEffect(int x, int y, int kindWord);
    static void spawnSparkRing(int x, int y);
    // Sparks along the last contact normal.
    static void spawnImpactBurst(int x, int y);
    static void updateEffects(int dt);
    static void clearEffects();

    // ---- camera ----
    static void updateCamera(int dt, int targetX, int targetY);
    static void startPan(int toX, int toY, int ms);
    static void stopCamera();

    // ---- sprites ----
    // The animation of id, or none when it is -1 or does not load (a
    // missing picture is drawn as nothing and has no boxes).
    static SpriteSheet::Animation animationOrNone(std::int32_t id);
    static SpriteSheet makeSprite(std::int32_t id, bool forever);
    // The first box of s's current frame, placed at (px, py), that
    // overlaps the rectangle (strict comparisons); false when none does.
    static bool boxHitsSprite(int x, int y, int w, int h, int px, int py, const SpriteSheet& s);
    // The character's tumbling animation 3..5, looping, on both sprites.
    static void tumbleCharacter();
    static void setCharacterAnimation(int index, int loops);
    // The score popup starts again from its first frame.
    static void restartScorePopup();
    // Destruction feedback: the smash sound and the screen shake.
    static void smashFeedback();
};

}  // namespace game::world
