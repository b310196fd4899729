// Tile rules and the swept collision: slopes pixel by pixel, breakable
// chains by code and mover, the sweep's guarantees on random maps, edges.
#include "game/world/TileCollision.h"

#include <random>

#include "WorldFixture.h"
#include "game/world/FixedMath.h"
#include "game/world/TileRules.h"

namespace game::world {
namespace {

using testing::WorldTest;

// Each slope's solid half holds its solid corner, never the opposite one,
// about half the cell, and stays solid moving towards the solid corner.
TEST(TileRules, SlopesAreHalfCellsTowardsTheirSolidCorner) {
    constexpr int W = 40, H = 32;
    const struct {
        int kind, cornerX, cornerY;  // the solid corner
    } slopes[] = {{2, W - 1, 0}, {3, W - 1, H - 1}, {4, 0, H - 1}, {5, 0, 0}};
    for (const auto& s : slopes) {
        SCOPED_TRACE(s.kind);
        EXPECT_TRUE(TileRules::inTriangle(s.kind, s.cornerX, s.cornerY, W, H));
        EXPECT_FALSE(TileRules::inTriangle(s.kind, W - 1 - s.cornerX, H - 1 - s.cornerY, W, H));
        int inside = 0;
        const int stepX = s.cornerX == 0 ? -1 : 1, stepY = s.cornerY == 0 ? -1 : 1;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                if (!TileRules::inTriangle(s.kind, x, y, W, H)) continue;
                ++inside;
                const int nx = x + stepX, ny = y + stepY;
                if (nx >= 0 && nx < W) {
                    EXPECT_TRUE(TileRules::inTriangle(s.kind, nx, y, W, H)) << x << "," << y;
                }
                if (ny >= 0 && ny < H) {
                    EXPECT_TRUE(TileRules::inTriangle(s.kind, x, ny, W, H)) << x << "," << y;
                }
            }
        }
        EXPECT_NEAR(inside, W * H / 2, W + H);
        EXPECT_EQ(TileRules::slopeNormal(s.kind).x > 0, s.cornerX == 0);
        EXPECT_EQ(TileRules::slopeNormal(s.kind).y > 0, s.cornerY == 0);
    }
    EXPECT_FALSE(TileRules::inTriangle(1, 5, 5, W, H));
}

TEST(TileRules, EveryBreakableChainEndsInAPassableCell) {
    for (int code = 0; code < 256; ++code) {
        int c = code, steps = 0;
        while (auto b = TileRules::breakable(c)) {
            c = b->replacement;
            ASSERT_LT(++steps, 4) << code;
        }
        if (steps > 0) {
            EXPECT_TRUE(TileRules::isEmptyCode(c)) << code;
        }
    }
    EXPECT_EQ(TileRules::tileKind(TileRules::kBarrier), 1);
    EXPECT_EQ(TileRules::tileKind(200), 1);
    EXPECT_TRUE(TileRules::isEmptyCode(67));
}

TEST_F(WorldTest, OutsideTheMapAboveIsEmptyTheOtherEdgesSolid) {
    setMap({"...", "..."});
    EXPECT_EQ(TileCollision::tileAt(1, -1), 0);
    EXPECT_EQ(TileCollision::tileAt(1, -100), 0);
    for (const auto& [c, r] : {std::pair{-1, 0}, {3, 0}, {1, 2}, {-1, -1}}) EXPECT_NE(TileRules::tileKind(TileCollision::tileAt(c, r)), 0);
    EXPECT_FALSE(TileCollision::isSolidAt(60, -1));
    EXPECT_FALSE(TileCollision::isSolidAt(60, -31));  // not truncated into row 0
    EXPECT_TRUE(TileCollision::isSolidAt(-1, 10));
    EXPECT_TRUE(TileCollision::isSolidAt(120, 10));
    EXPECT_TRUE(TileCollision::isSolidAt(10, 64));
    EXPECT_EQ(TileCollision::touchTile(60, -5, TileCollision::CRASH), TileCollision::FREE);
    TileCollision::setTile(-1, 0, 21);  // ignored
    TileCollision::setTile(5, 5, 21);
    EXPECT_EQ(TileCollision::tileAt(0, 0), 0);
}

// What a contact does to a breakable cell, by mover.
TEST_F(WorldTest, BreakablesByCodeAndMover) {
    const struct {
        int code, mode;
        bool superSmash;
        int after, result, destroyed;
    } cases[] = {
        {1, TileCollision::PROBE, false, 1, TileCollision::WALL, 0},
        {1, TileCollision::CRASH, false, 67, TileCollision::FREE, 0},
        {2, TileCollision::CRASH, false, 3, TileCollision::WALL, 0},
        {3, TileCollision::CRASH, false, 0, TileCollision::FREE, 1},
        {2, TileCollision::CRASH, true, 0, TileCollision::FREE, 1},
        {7, TileCollision::CRASH, true, 0, TileCollision::FREE, 1},
        {14, TileCollision::CRASH, false, 17, TileCollision::WALL, 0},
        {2, TileCollision::SWING, false, 3, TileCollision::WALL, 0},
        {20, TileCollision::SWING, false, 0, TileCollision::FREE, 0},
        {21, TileCollision::CRASH, true, 21, TileCollision::WALL, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + " mode " + std::to_string(c.mode));
        setMap({"..", ".."});
        auto& s = GameWorld::state();
        TileCollision::setTile(1, 1, c.code);
        s.destroyedTiles = 0;
        s.tileSmashed = false;
        s.character.superSmash = c.superSmash;
        EXPECT_EQ(TileCollision::touchTile(45, 35, c.mode), c.result);
        EXPECT_EQ(TileCollision::tileAt(1, 1), c.after);
        EXPECT_EQ(s.destroyedTiles, c.destroyed);
        EXPECT_EQ(s.lastTile, c.code);
        EXPECT_EQ(s.tileSmashed, c.mode == TileCollision::CRASH && c.after != c.code);
        GameWorld::clearEffects();
    }
}

// On random maps, a box that starts free ends free, and a free move is
// taken whole.
TEST_F(WorldTest, SweepNeverEndsInsideASolidCell) {
    std::mt19937 rng(7);
    const char pieces[] = "....#b/\\c";
    auto& s = GameWorld::state();
    int swept = 0;
    for (int map = 0; map < 40; ++map) {
        std::vector<std::string> rows(12, std::string(16, '.'));
        for (auto& r : rows)
            for (auto& c : r) c = pieces[rng() % (sizeof pieces - 1)];
        setMap(rows);
        s.crashStage = map % 2 == 0;
        auto cornersFree = [&](int x, int y, int w, int h) {
            for (const auto& [cx, cy] : {std::pair{x, y}, {x + w, y}, {x, y + h}, {x + w, y + h}})
                if (TileCollision::touchTile(cx, cy, TileCollision::PROBE) != TileCollision::FREE) return false;
            return true;
        };
        for (int i = 0; i < 300; ++i) {
            const int w = 2 + static_cast<int>(rng() % 12), h = 2 + static_cast<int>(rng() % 12);
            const int x = static_cast<int>(rng() % static_cast<unsigned>(s.mapPixelWidth - w - 1));
            const int y = static_cast<int>(rng() % static_cast<unsigned>(s.mapPixelHeight - h - 1));
            if (!cornersFree(x, y, w, h)) continue;
            const int dx = static_cast<int>(rng() % (400u << 16)) - (200 << 16), dy = static_cast<int>(rng() % (400u << 16)) - (200 << 16);
            const int mode = static_cast<int>(rng() % 3);
            const int x16 = (x << 16) + static_cast<int>(rng() % 65536), y16 = (y << 16) + static_cast<int>(rng() % 65536);
            const int result = TileCollision::sweep(x16, y16, w, h, dx, dy, mode);
            ++swept;
            ASSERT_GE(result, 0);
            ASSERT_LE(result, 3);
            if (result == TileCollision::FREE) {
                EXPECT_EQ(s.allowedMoveX, dx);
                EXPECT_EQ(s.allowedMoveY, dy);
            } else {
                EXPECT_TRUE(s.contactNormalX != 0 || s.contactNormalY != 0);
            }
            const int ex = x + (s.allowedMoveX >> 16) + (result == TileCollision::FREE ? ((x16 & 0xFFFF) + (dx & 0xFFFF)) >> 16 : 0);
            const int ey = y + (s.allowedMoveY >> 16) + (result == TileCollision::FREE ? ((y16 & 0xFFFF) + (dy & 0xFFFF)) >> 16 : 0);
            EXPECT_TRUE(cornersFree(ex, ey, w, h)) << map << "/" << i << " at " << ex << "," << ey;
        }
    }
    EXPECT_GT(swept, 4000);
}

TEST_F(WorldTest, SweepStepsEdgesAndNeighbours) {
    setMap({"......", "......", "..c...", "######"});
    auto& s = GameWorld::state();
    // Less than a pixel still tests one step; a box inside a wall stays.
    EXPECT_EQ(TileCollision::sweep(80 << 16, 60 << 16, 10, 10, 0x8000, 0, TileCollision::PROBE), TileCollision::WALL);
    EXPECT_EQ(s.allowedMoveX, 0);
    // Falling onto the floor: stopped above it with an upward normal.
    EXPECT_EQ(TileCollision::sweep(5 << 16, 40 << 16, 10, 10, 0, 100 << 16, TileCollision::PROBE), TileCollision::WALL);
    EXPECT_EQ(s.allowedMoveY >> 16, 45);  // bottom at 95, the row above the floor
    EXPECT_EQ(s.contactNormalY, -256);
    EXPECT_EQ(s.friction, 0);  // probes read no surface
    // Leaving the map: edge surface; above the map only the crash stage may go.
    EXPECT_EQ(TileCollision::sweep(5 << 16, 5 << 16, 10, 10, 0, -20 << 16, TileCollision::SWING), TileCollision::EDGE);
    EXPECT_EQ(s.friction, TileCollision::kEdgeSurface);
    EXPECT_EQ(s.contactNormalY, 256);
    s.crashStage = true;
    EXPECT_EQ(TileCollision::sweep(5 << 16, 5 << 16, 10, 10, 0, -20 << 16, TileCollision::CRASH), TileCollision::FREE);
    EXPECT_EQ(TileCollision::sweep(5 << 16, 5 << 16, 10, 10, -20 << 16, 0, TileCollision::CRASH), TileCollision::EDGE);
    EXPECT_EQ(s.contactNormalX, 256);
    // With the neighbour unlock a crash contact smashes around it.
    s.unlocks = TileCollision::kUnlockSmashNeighbours;
    TileCollision::setTile(1, 2, 1);
    TileCollision::setTile(3, 2, 17);
    EXPECT_EQ(TileCollision::sweep(85 << 16, 40 << 16, 10, 10, 0, 40 << 16, TileCollision::CRASH), TileCollision::WALL);
    EXPECT_EQ(TileCollision::tileAt(2, 2), 0);  // 2 -> 3 by the contact, then 3 -> 0
    EXPECT_EQ(TileCollision::tileAt(1, 2), 67);
    EXPECT_EQ(TileCollision::tileAt(3, 2), 0);
    EXPECT_EQ(TileCollision::tileAt(2, 3), 21);
}

TEST_F(WorldTest, SlopesGiveTheirNormalAndBounceAlongIt) {
    setMap({"....", "./..", "####"});
    auto& s = GameWorld::state();
    // A box dropping onto the slope's open face (kind 3, lower right).
    const int result = TileCollision::sweep(60 << 16, 10 << 16, 8, 8, 0, 60 << 16, TileCollision::CRASH);
    ASSERT_EQ(result, TileCollision::SLOPE);
    EXPECT_EQ(s.contactNormalX, -160);
    EXPECT_EQ(s.contactNormalY, -200);
    EXPECT_EQ(s.lastTile, 25);
    int vx = 0, vy = 5000;
    TileCollision::bounce(vx, vy);
    EXPECT_LT(vx, 0);  // thrown towards the open side
    EXPECT_LT(std::abs(vy), 5000);
    // A flat floor: full friction keeps the horizontal speed, half
    // restitution halves the vertical one (less a little: the normal's
    // length is taken odd, 257).
    s.contactNormalX = 0, s.contactNormalY = -256, s.friction = 256, s.restitution = 128;
    vx = 1000, vy = 4000;
    TileCollision::bounce(vx, vy);
    EXPECT_EQ(vx, 992);
    EXPECT_EQ(vy, -1985);
}

}  // namespace
}  // namespace game::world
