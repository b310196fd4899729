// loadLevel: padding, records, header-only reads, data it mends with a
// line, and files it refuses without touching the world.
#include "game/world/LevelLoader.h"

#include "WorldFixture.h"
#include "game/world/TileCollision.h"
#include "java/lang/Exceptions.h"

namespace game::world {
namespace {

using format::LevelRecord;
using testing::plainParams;
using testing::WorldTest;

std::vector<std::string> grid(int cols, int rows, char fill = '.') { return std::vector<std::string>(static_cast<std::size_t>(rows), std::string(static_cast<std::size_t>(cols), fill)); }

TEST_F(WorldTest, PaddingGrowsSmallMapsToTheScreen) {
    const struct {
        int cols, rows, pad;
        int mapCols, mapRows, padLeft, padTop;
    } cases[] = {
        {10, 5, LevelLoader::PAD_ABOVE, 21, 19, 11, 14},
        {10, 5, LevelLoader::PAD_BELOW, 21, 19, 11, 0},
        {21, 19, LevelLoader::PAD_ABOVE, 21, 19, 0, 0},
        {30, 25, LevelLoader::PAD_BELOW, 30, 25, 0, 0},
        {10, 5, LevelLoader::NO_PAD, 10, 5, 0, 0},
        {10, 5, LevelLoader::TABLE, 10, 5, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + "x" + std::to_string(c.rows) + " mode " + std::to_string(c.pad));
        auto rows = grid(c.cols, c.rows);
        rows[0][0] = '#';
        const auto m = mapOf(rows, {header(3, 2), {8, {0, 2, 3}}, {18, {1, 1, 4, 2}}});
        LevelLoader::loadLevel(fileOf(1, m), 1, false, c.pad);
        const auto& s = GameWorld::state();
        EXPECT_EQ(s.mapCols, c.mapCols);
        EXPECT_EQ(s.mapRows, c.mapRows);
        EXPECT_EQ(s.mapPixelWidth, c.mapCols * 40);
        EXPECT_EQ(TileCollision::tileAt(c.padLeft, c.padTop), 21);
        // Records move with the grid, except the start column.
        ASSERT_TRUE(s.objects[0]);
        EXPECT_EQ(s.objects[0]->vx, 2 + c.padLeft);
        EXPECT_EQ(s.objects[0]->vy, 3 + c.padTop + 1);
        EXPECT_EQ(s.startX >> 16, 3 * 40);
        EXPECT_EQ(s.startY >> 16, (2 + c.padTop) * 32);
        EXPECT_EQ(s.cameraZone[0], (1 + c.padLeft) * 40);
        EXPECT_EQ(s.cameraZone[1], (1 + c.padTop) * 32);
        EXPECT_EQ(s.cameraZone[2], 4 * 40);
    }
}

// Padding continues the map's edges; the corners are walls except above
// the map in pad mode 2.
TEST_F(WorldTest, PaddingContinuesTheEdges) {
    const std::vector<std::string> rows = {"/..c", "#bb#"};
    LevelLoader::loadLevel(fileOf(0, mapOf(rows, {header(0, 0)})), 0, false, LevelLoader::PAD_ABOVE);
    const int left = 17, top = 17;
    EXPECT_EQ(TileCollision::tileAt(0, 0), 0);            // corner above: open sky
    EXPECT_EQ(TileCollision::tileAt(left - 1, 0), 0);
    EXPECT_EQ(TileCollision::tileAt(left + 3, 0), 2);     // the first row continues up
    EXPECT_EQ(TileCollision::tileAt(left + 1, top - 1), 0);
    EXPECT_EQ(TileCollision::tileAt(0, top), 37);         // a slope copied left becomes a wall
    EXPECT_EQ(TileCollision::tileAt(left - 1, top + 1), 21);
    LevelLoader::loadLevel(fileOf(0, mapOf(rows, {header(0, 0)})), 0, false, LevelLoader::PAD_BELOW);
    EXPECT_EQ(TileCollision::tileAt(0, 18), 66);          // corner below: wall
    EXPECT_EQ(TileCollision::tileAt(left + 1, 18), 1);    // the last row continues down
    EXPECT_EQ(TileCollision::tileAt(left + 3, 0), 2);
    EXPECT_EQ(GameWorld::state().decorLayer[static_cast<std::size_t>(left + 3)], 69);  // tile 2 carries decoration 69
    for (auto code : GameWorld::state().tileMap) EXPECT_NE(code, 127);
}

TEST_F(WorldTest, HeaderOnlyAppliesRecordsUpToTheHeader) {
    std::vector<LevelRecord> records = {{20, {1, 9, 2, 5, 6}}, header(0, 0, 0, 3, 42), {20, {2, 0, 1, 7, 8}}, {8, {0, 0, 0}}};
    auto& s = GameWorld::state();
    s.tileWidth = 20;  // a header-only read keeps the cell size
    LevelLoader::loadLevel(fileOf(0, mapOf({"."}, records)), 0, true, LevelLoader::NO_PAD);
    EXPECT_EQ(s.levelTable[1], (std::array<int, 4>{5, 6, 9, 2}));
    EXPECT_EQ(s.levelTable[2], (std::array<int, 4>{}));
    EXPECT_EQ(s.targetCount, 42);
    EXPECT_TRUE(s.bonusLevel);
    EXPECT_EQ(s.tileWidth, 20);
    EXPECT_FALSE(s.objects[0]);
    LevelLoader::loadLevel(fileOf(0, mapOf({"."}, records)), 0, false, LevelLoader::NO_PAD);
    EXPECT_EQ(s.tileWidth, 40);
    EXPECT_EQ(s.levelTable[2][0], 7);
    EXPECT_TRUE(s.objects[0]);
}

// Values the world could not use are mended with one line naming the map
// and record.
TEST_F(WorldTest, BadValuesAreMendedWithALine) {
    auto params = plainParams();
    params[1] = 0;     // drag divisor
    params[6] = 250;   // bounce percent
    params[11] = 900;  // friction
    params.resize(20);
    auto rows = grid(3, 2);
    rows[0] = "..#";
    auto m = mapOf(rows, {header(0, 0, 0, 0, 0, params), LevelRecord{8, {11, 1, 1}}, LevelRecord{20, {28, 1, 2, 3, 4}},
                          LevelRecord{14, {1, 1, 300, 6, 30000, 0, 0, 0, 9000}}, LevelRecord{15, {1, 0, 10, 10, 7}}});
    m.cells[1] = 99;
    LevelLoader::loadLevel(fileOf(3, m), 3, false, LevelLoader::NO_PAD);
    const auto& s = GameWorld::state();
    // A bat that would never come back to rest, or whose swing would wrap
    // its angle, is tamed; an unknown drop mode falls.
    EXPECT_EQ(s.swing.batRestAngle, 255);
    EXPECT_EQ(s.swing.batKick, LevelLoader::kMaxBatKick);
    EXPECT_EQ(s.swing.batBrake, LevelLoader::minBatBrake(LevelLoader::kMaxBatKick));
    EXPECT_EQ(s.swing.batPower, LevelLoader::kMaxBatPower);
    EXPECT_EQ(s.swing.dropMode, 0);
    EXPECT_EQ(TileCollision::tileAt(1, 0), 0);
    EXPECT_EQ(TileCollision::tileAt(2, 0), 21);
    ASSERT_EQ(s.levelParams.size(), 24u);
    EXPECT_EQ(s.levelParams[1], 1);
    EXPECT_EQ(s.levelParams[6], 100);
    EXPECT_EQ(s.levelParams[11], 256);
    EXPECT_FALSE(s.objects[0]);
    const std::string out = takeOutput();
    for (const char* expect : {"map 3: 1 cells hold codes outside", "map 3: record 0: 20 level parameters", "map 3: record 0: level parameter 1",
                               "map 3: record 0: level parameter 6", "map 3: record 0: level parameter 11", "map 3: record 1: object sub-kind 11",
                               "map 3: record 2: level table slot 28", "map 3: record 3: the bat's swing speed 30000 becomes 1023",
                               "map 3: record 3: the bat's brake 0 becomes", "map 3: record 3: the bat's power 9000 becomes 1000",
                               "map 3: record 4: drop mode 7"})
        EXPECT_NE(out.find(expect), std::string::npos) << expect << " in\n" << out;
}

// A file that ends early or a map it does not hold fails the load and
// leaves the world as it was.
TEST_F(WorldTest, RefusedFilesLeaveTheWorldAsItWas) {
    const auto m = mapOf({"..#", "###"}, {{20, {1, 0, 2, 5, 6}}, header(1, 0), {7, {0, 0, 4, 4}}, {13, {0, 1, 1, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2}}});
    const auto file = fileOf(2, m);
    LevelLoader::loadLevel(file, 2, false, LevelLoader::PAD_ABOVE);
    const GameWorld::State before = GameWorld::state();
    for (std::size_t n = 0; n < file.size(); ++n) {
        const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(n));
        EXPECT_THROW(LevelLoader::loadLevel(cut, 2, false, LevelLoader::PAD_ABOVE), java::io::IOException) << n;
        ASSERT_EQ(GameWorld::state().tileMap, before.tileMap) << n;
        ASSERT_EQ(GameWorld::state().objectStats, before.objectStats) << n;
        ASSERT_EQ(GameWorld::state().finale.hitsLeft, before.finale.hitsLeft) << n;
    }
    try {
        LevelLoader::loadLevel(file, 3, false, LevelLoader::NO_PAD);
        ADD_FAILURE();
    } catch (const java::io::IOException& e) {
        EXPECT_NE(e.getMessage().find("map 3"), std::string::npos) << e.getMessage();
    }
    EXPECT_THROW(LevelLoader::loadLevel(file, -1, false, LevelLoader::NO_PAD), java::io::IOException);
}

TEST_F(WorldTest, FinaleBarriersAndTheCameraZone) {
    auto& s = GameWorld::state();
    s.cameraZone = {1, 2, 3, 4};
    // Waypoints with a zero coordinate in the file are empty, even after
    // padding moves them off column 0.
    const std::vector<int> finale = {1, 0, 3, 2, 1, 3, 1, 0, 0, 4, 0, 5, 0, 1, 1, 3};
    LevelLoader::loadLevel(fileOf(5, mapOf({"x...", "####"}, {header(0, 0), {13, finale}})), 5, false, LevelLoader::PAD_ABOVE);
    EXPECT_EQ(s.cameraZone, (std::array<int, 4>{0, 0, 21 * 40, 19 * 32}));
    EXPECT_TRUE(s.hasBarriers);
    EXPECT_TRUE(s.finale.present);
    EXPECT_EQ(s.finale.form, 2);
    EXPECT_EQ(s.finale.hitsLeft, 3);  // two waypoints set
    EXPECT_EQ(s.finale.waypoints[0], 0);
    EXPECT_EQ(s.finale.waypoints[2], (2 + 17) * 40);
    EXPECT_EQ(s.finale.waypoints[3], (1 + 17) * 32);
    EXPECT_EQ(s.finale.target.x, (1 + 17) * 40);
    EXPECT_EQ(GameWorld::placedTargets(), 1);
    // The level table's map never has barriers.
    LevelLoader::loadLevel(fileOf(44, mapOf({"x"}, {})), 44, false, LevelLoader::TABLE);
    EXPECT_FALSE(s.hasBarriers);
    EXPECT_FALSE(s.finale.present);
}

}  // namespace
}  // namespace game::world
