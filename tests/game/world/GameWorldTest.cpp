// The world's objects, effects and camera, the drawing at the map's
// extremes, and the object contacts of the crash stage.
#include "game/world/GameWorld.h"

#include <random>

#include "WorldFixture.h"
#include "game/world/ObjectContacts.h"
#include "game/world/TileCollision.h"
#include "game/world/WorldPainter.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game::world {
namespace {

using testing::WorldTest;

int liveEffects(int kind, int value = -1) {
    int n = 0;
    for (const auto& e : GameWorld::state().effects) n += e && e->kind == kind && (value < 0 || e->vx == value);
    return n;
}

// Whatever the map and mode, the camera ends inside the map (zone mode may
// centre a short zone above it).
TEST_F(WorldTest, CameraStaysInsideTheMap) {
    std::mt19937 rng(3);
    auto& s = GameWorld::state();
    for (int i = 0; i < 2000; ++i) {
        setMap(std::vector<std::string>(static_cast<std::size_t>(19 + rng() % 30), std::string(static_cast<std::size_t>(20 + rng() % 60), '.')));
        s.cameraMode = static_cast<int>(rng() % 4);
        s.chaseInFlight = rng() % 2;
        s.panElapsed = static_cast<int>(rng() % 600);
        s.panDuration = static_cast<int>(rng() % 600);
        s.cameraZone = {static_cast<int>(rng() % 2000) - 500, static_cast<int>(rng() % 2000) - 500, static_cast<int>(rng() % 3000), static_cast<int>(rng() % 3000)};
        const int mode = s.cameraMode;
        GameWorld::updateCamera(static_cast<int>(rng() % 200), static_cast<int>(rng() % 6000) - 3000, static_cast<int>(rng() % 6000) - 3000);
        ASSERT_GE(s.cameraX, 0);
        ASSERT_LE(s.cameraX, s.mapPixelWidth - 800);
        ASSERT_LE(s.cameraY, s.mapPixelHeight - 600);
        if (mode != GameWorld::ZONE) {
            ASSERT_GE(s.cameraY, 0) << mode;
        }
    }
    // A map exactly as wide as the screen keeps the camera at 0; a narrow
    // zone is centred.
    setMap(std::vector<std::string>(30, std::string(20, '.')));
    s.cameraMode = GameWorld::FOLLOW;
    GameWorld::updateCamera(20, 500, 0);
    EXPECT_EQ(s.cameraX, 0);
    setMap(std::vector<std::string>(40, std::string(60, '.')));
    s.cameraMode = GameWorld::ZONE;
    s.cameraZone = {600, 100, 400, 900};
    GameWorld::updateCamera(20, 0, 5000);
    EXPECT_EQ(s.cameraX, 600 + 200 - 400);
    EXPECT_EQ(s.cameraY, 100 + 900 - 600);
    EXPECT_TRUE(s.cameraMoved);
    GameWorld::updateCamera(20, 0, 5000);
    EXPECT_FALSE(s.cameraMoved);
    // A pan reaches its end and gives the camera back.
    GameWorld::stopCamera();
    GameWorld::startPan(1000, 0, 100);
    GameWorld::updateCamera(50, 0, 0);
    EXPECT_EQ(s.cameraX, 400 + (1000 - 400) / 2);
    GameWorld::updateCamera(80, 0, 0);
    EXPECT_EQ(s.cameraX, 1000);
    EXPECT_EQ(s.cameraMode, GameWorld::FOLLOW);
}

// Drawing every layer with the camera at the map's corners, on maps
// smaller and larger than the screen, stays inside the map and the pictures.
TEST_F(WorldTest, DrawingAtTheExtremesIsClean) {
    auto screen = javax::microedition::lcdui::Image::createImage(800, 600);
    auto g = screen->getGraphics();
    auto& s = GameWorld::state();
    s.tileImage = javax::microedition::lcdui::Image::createImage(80, 64, 0xFF00FF);  // four tiles: most codes lie beyond it
    for (const auto& size : {std::pair{3, 2}, {21, 19}, {40, 30}}) {
        std::vector<std::string> rows(static_cast<std::size_t>(size.second), std::string(static_cast<std::size_t>(size.first), '#'));
        rows[0][0] = 'b';
        rows.back().back() = 'x';
        setMap(rows);
        s.decorLayer.assign(s.tileMap.size(), 200);
        s.overlay = true;
        s.effects[0] = GameWorld::makeSprite(-1, false);
        s.effects[0]->kind = 8;
        s.effects[0]->vx = 12;
        for (const auto& cam : {std::pair{-5000, -5000}, {5000, 5000}, {0, 0}, {-3, 7000}}) {
            s.cameraX = cam.first;
            s.cameraY = cam.second;
            EXPECT_NO_THROW(WorldPainter::drawWorld(*g));
            EXPECT_NO_THROW(WorldPainter::drawObjects(*g));
            EXPECT_NO_THROW(WorldPainter::drawEffects(*g));
            EXPECT_NO_THROW(WorldPainter::drawFrontOverlay(*g));
        }
    }
    EXPECT_EQ(WorldPainter::skyBase(), 300);
}

TEST_F(WorldTest, EffectSlotsSparksAndExpiry) {
    auto& s = GameWorld::state();
    for (int i = 0; i < GameWorld::kEffectSlots; ++i) GameWorld::spawnEffect(i, 0, 11);
    GameWorld::spawnEffect(0, 0, 3);  // only free slots: dropped
    for (const auto& e : s.effects) EXPECT_EQ(e->kind, 11);
    GameWorld::spawnEffect(7, 8, 5);  // debris pushes out a spark
    EXPECT_EQ(s.effects[0]->kind, 5);
    EXPECT_EQ(s.effects[0]->x >> 16, 7);
    EXPECT_EQ(s.effects[0]->vy, -7250);
    GameWorld::spawnEffect(0, 0, 99);  // no such kind
    // Sparks fly straight by their parameter bytes; debris falls.
    GameWorld::clearEffects();
    GameWorld::spawnEffect(100, 100, 5);
    GameWorld::spawnEffect(100, 100, ((128 + 10) | ((128 - 4) << 8)) << 8 | 11);
    const int vx = s.effects[0]->vx;
    GameWorld::updateEffects(100);
    EXPECT_EQ(s.effects[1]->x, (100 << 16) + 10 * 32 * 100);
    EXPECT_EQ(s.effects[1]->y, (100 << 16) - 4 * 32 * 100);
    EXPECT_EQ(s.effects[0]->x, (100 << 16) + vx * 100);
    EXPECT_EQ(s.effects[0]->vy, -7250 + 25 * 100);
    // A floating number takes the first spark's slot and rises, slowing to
    // a stop.
    GameWorld::spawnEffect(0, 50, 3 << 8 | 8);
    EXPECT_EQ(s.effects[1]->kind, 8);
    EXPECT_EQ(s.effects[1]->vx, 3);
    GameWorld::updateEffects(600);
    EXPECT_EQ(s.effects[1]->vy, 0);
    // Expired slots become the next search start.
    GameWorld::updateEffects(1000);
    EXPECT_FALSE(s.effects[0]);
    EXPECT_EQ(s.freeEffectHint, 1);
    GameWorld::spawnSparkRing(0, 0);
    EXPECT_EQ(liveEffects(19), 4);
}

TEST_F(WorldTest, ObjectsCountAndBreakWithCombos) {
    setMap({"....", "####"});
    auto& s = GameWorld::state();
    for (int i = 0; i < GameWorld::kObjectSlots; ++i) EXPECT_EQ(GameWorld::spawnObject(i % 4, 0, 4 + i % 11), i);
    EXPECT_EQ(GameWorld::spawnObject(0, 0, 4), -1);
    EXPECT_EQ(GameWorld::spawnObject(0, 0, 17), -1);
    EXPECT_EQ(GameWorld::placedTargets(), 40 - 3);  // kinds 4..13, not 14
    EXPECT_EQ(GameWorld::placedBonus(), 3);
    EXPECT_EQ(s.placedValue, 37 * 10 + 3 * 2);
    GameWorld::destroyObject(0);
    GameWorld::destroyObject(1);
    GameWorld::destroyObject(1);  // already empty
    EXPECT_EQ(GameWorld::destroyedTargets(), 2);
    EXPECT_EQ(s.comboCount, 2);
    EXPECT_EQ(liveEffects(8, 2), 1);
    GameWorld::destroyObject(6);  // kind 10: no effect, no combo
    EXPECT_EQ(s.comboCount, 2);
    EXPECT_EQ(GameWorld::destroyedTargets(), 3);
    GameWorld::clearObjects();
    GameWorld::resetStats();
    EXPECT_EQ(GameWorld::placedTargets(), 0);
}

// Objects fall with the cell under them; bumpers and switches stay; the
// map's bottom edge holds what stands in the last row.
TEST_F(WorldTest, ObjectsLoseTheirFooting) {
    setMap({"....", "bb#.", "...."});
    const int target = GameWorld::spawnObject(0, 0, 5);
    const int bumper = GameWorld::spawnObject(1, 0, GameWorld::BUMPER);
    const int onWall = GameWorld::spawnObject(2, 0, 16);
    const int bottom = GameWorld::spawnObject(3, 2, 14);
    auto& s = GameWorld::state();
    s.character.sprite.x = s.character.sprite.y = -1000 << 16;
    ObjectContacts::updateObjects(20);
    for (int slot : {target, bumper, onWall, bottom}) EXPECT_TRUE(s.objects[static_cast<std::size_t>(slot)]);
    TileCollision::smashTile(0, 1);  // 1 -> 67, passable
    TileCollision::smashTile(1, 1);
    ObjectContacts::updateObjects(20);
    EXPECT_FALSE(s.objects[static_cast<std::size_t>(target)]);
    EXPECT_TRUE(s.objects[static_cast<std::size_t>(bumper)]);
    EXPECT_TRUE(s.objects[static_cast<std::size_t>(onWall)]);
    EXPECT_TRUE(s.objects[static_cast<std::size_t>(bottom)]);
    EXPECT_EQ(GameWorld::destroyedTargets(), 1);
}

TEST_F(WorldTest, TargetsBounceTheCharacterAndBreak) {
    setMap({"....", "####"});
    auto& s = GameWorld::state();
    const int slot = GameWorld::spawnObject(1, 0, 4);
    s.objects[static_cast<std::size_t>(slot)]->create(boxAnimation({{20, 16, 14, 14}}), true);
    auto& c = s.character;
    c.sprite.x = (40 + 20 - 15) << 16;  // touching the circle from the left
    c.sprite.y = 16 << 16;
    c.prevX = (40 + 20 - 30) << 16;
    c.prevY = (16 - 5) << 16;
    c.velX = 5000;
    c.superSmash = true;
    // On the run-up the character passes through objects.
    ObjectContacts::updateObjects(20);
    EXPECT_TRUE(s.objects[static_cast<std::size_t>(slot)]);
    EXPECT_EQ(c.velX, 5000);
    c.launchMode = 1;
    ObjectContacts::updateObjects(20);
    EXPECT_FALSE(s.objects[static_cast<std::size_t>(slot)]);
    EXPECT_LT(c.velX, 0);  // reflected
    EXPECT_EQ(c.sprite.x, c.prevX);
    EXPECT_EQ(c.launchMode, 2);
    EXPECT_FALSE(c.superSmash);
    EXPECT_EQ(c.bounceCount, 1);
    // Hidden targets have no picture and so nothing to hit.
    const int hidden = GameWorld::spawnObject(1, 0, 11);
    ObjectContacts::updateObjects(20);
    EXPECT_TRUE(s.objects[static_cast<std::size_t>(hidden)]);
}

TEST_F(WorldTest, SwitchRaisesItsBarriersOnce) {
    setMap({"......", "..#...", "......", "######"});
    auto& s = GameWorld::state();
    const int slot = GameWorld::spawnObject(0, 2, GameWorld::SWITCH);
    auto& sw = *s.objects[static_cast<std::size_t>(slot)];
    sw.create(boxAnimation({{4, 4, 32, 24}, {0, 0, 0, 0}}), true);
    sw.vx = (2 << 16) | 10;  // columns 2..11, clipped to the map
    sw.vy = (0 << 16) | 2;   // rows 0..1
    s.character.sprite.x = 20 << 16;
    s.character.sprite.y = (2 * 32 + 16) << 16;
    s.character.launchMode = 2;
    ObjectContacts::updateObjects(20);
    EXPECT_EQ(sw.getFrame(), 1);
    EXPECT_EQ(TileCollision::tileAt(2, 0), 157);
    EXPECT_EQ(TileCollision::tileAt(5, 1), 157);
    EXPECT_EQ(TileCollision::tileAt(2, 1), 21);  // only empty cells change
    EXPECT_EQ(TileCollision::tileAt(1, 0), 0);
    EXPECT_TRUE(TileCollision::isSolidAt(2 * 40 + 5, 5));
    TileCollision::setTile(3, 0, 0);
    ObjectContacts::updateObjects(20);
    EXPECT_EQ(TileCollision::tileAt(3, 0), 0);  // pressed switches wait
}

// Six waypoints: six hits send the target travelling, the seventh bursts it
// and counts one destroyed hidden target.
TEST_F(WorldTest, SixWaypointsTakeSevenHits) {
    setMap({std::string(12, '.'), std::string(12, '#')});
    auto& s = GameWorld::state();
    auto& f = s.finale;
    f.present = f.roaming = true;
    f.form = 1;
    f.target.create(boxAnimation({{0, 0, 40, 32}}), true);
    f.target.x = 40;
    f.target.y = 0;
    for (int i = 0; i < 6; ++i) f.waypoints[static_cast<std::size_t>(2 * i)] = 80 + 40 * i, f.waypoints[static_cast<std::size_t>(2 * i + 1)] = 1;
    f.hitsLeft = f.hitsAtStart = 7;
    GameWorld::countStat(GameWorld::HIDDEN_TARGET, 0);
    s.character.sprite.x = s.character.sprite.y = -1000 << 16;
    int hits = 0;
    while (f.roaming && hits < 10) {
        ObjectContacts::hitRoamingTarget(false);
        ++hits;
        for (int step = 0; step < 200 && f.travel.x != 0; ++step) ObjectContacts::updateObjects(50);
    }
    EXPECT_EQ(hits, 7);
    EXPECT_EQ(f.hitsLeft, 0);
    EXPECT_EQ(GameWorld::destroyedTargets(), 1);
    EXPECT_EQ(s.comboCount, 7);
    EXPECT_GT(liveEffects(11), 20);
}

// A travel of no distance ends at the next step instead of dividing by 0.
TEST_F(WorldTest, ZeroLengthTravelArrives) {
    setMap({"....", "####"});
    auto& s = GameWorld::state();
    auto& f = s.finale;
    f.present = f.roaming = true;
    f.target.x = 40, f.target.y = 1;
    f.waypoints[0] = 40, f.waypoints[1] = 1;
    ObjectContacts::hitRoamingTarget(false);
    EXPECT_EQ(f.travel.vy, 0);
    auto screen = javax::microedition::lcdui::Image::createImage(800, 600);
    EXPECT_NO_THROW(WorldPainter::drawObjects(*screen->getGraphics()));
    ObjectContacts::updateObjects(20);
    EXPECT_EQ(f.travel.x, 0);
}

}  // namespace
}  // namespace game::world
