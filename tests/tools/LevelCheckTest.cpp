// The level rules: a small valid level file passes, and each fault is
// named by map and record.
#include "LevelCheck.h"

#include <gtest/gtest.h>

#include <functional>

#include "game/format/LevelFile.h"

namespace {

using game::format::LevelFile;
using game::format::LevelMap;
using game::format::LevelRecord;

LevelRecord header(int kind = 0) {
    LevelRecord r{0, {1, 1, 0, kind, 1, 24, 0}};
    for (int i = 0; i < 24; ++i) r.values.push_back(i == 1 ? 2000 : i == 4 ? 7 : 100);
    return r;
}

LevelMap grid(int cols, int rows, std::vector<LevelRecord> records) {
    LevelMap m;
    m.cols = cols;
    m.rows = rows;
    m.cells.assign(static_cast<std::size_t>(cols * rows), 0);
    for (int c = 0; c < cols; ++c) m.cells[static_cast<std::size_t>((rows - 1) * cols + c)] = 21;
    m.records = std::move(records);
    return m;
}

// Map 0 header, 1 swing, 2 crash, 3 the level table of one level.
std::vector<std::optional<LevelMap>> validMaps() {
    const LevelRecord row{20, {1, 0, 0, 1, 2}};
    return {grid(1, 1, {row, header()}),
            grid(21, 19, {header(), {14, {5, 13, 224, 6, 8, 180, 20, 16, 200}}, {15, {6, 8, 30, 60, 1}}, {18, {0, 0, 21, 19}}}),
            grid(21, 6, {header(), {11, {0, 1}}, {8, {0, 3, 4}}, {13, {0, 4, 4, 5, 4, 0, 0, 0, 0, 0, 0, 0, 0, 6, 4, 2}}}),
            grid(1, 1, {row})};
}

std::vector<std::string> check(const std::vector<std::optional<LevelMap>>& maps) {
    content::LevelRules rules;
    rules.maps = 4;
    rules.tableMap = 3;
    rules.levels = 1;
    return content::checkLevelFile(LevelFile::write(maps), rules);
}

TEST(LevelCheck, NamesEachFaultByMapAndRecord) {
    EXPECT_EQ(check(validMaps()), std::vector<std::string>{});
    using Maps = std::vector<std::optional<LevelMap>>;
    const struct {
        const char* expect;
        std::function<void(Maps&)> breakIt;
    } faults[] = {
        {"map 2 cell (3, 0) holds 99", [](Maps& m) { m[2]->cells[3] = 99; }},
        {"map 2 record 2: object sub-kind 11", [](Maps& m) { m[2]->records[2].values[0] = 11; }},
        {"map 3 record 0: level table slot 28", [](Maps& m) { m[3]->records.push_back({20, {28, 0, 0, 1, 2}}); std::swap(m[3]->records[0], m[3]->records[1]); }},
        {"map 1 record 0: 20 level parameters", [](Maps& m) { m[1]->records[0].values.resize(27), m[1]->records[0].values[5] = 20; }},
        {"map 1 record 0: level parameter 1", [](Maps& m) { m[1]->records[0].values[7 + 1] = 0; }},
        {"map 1 record 0: level parameter 4", [](Maps& m) { m[1]->records[0].values[7 + 4] = 0; }},
        {"map 2 record 0: level parameter 6", [](Maps& m) { m[2]->records[0].values[7 + 6] = 101; }},
        {"map 2 record 0: level parameter 12", [](Maps& m) { m[2]->records[0].values[7 + 12] = 300; }},
        {"map 1 record 1: the bat", [](Maps& m) { m[1]->records[1].values[5] = 0; }},
        {"map 1 record 1: the bat needs a positive swing speed", [](Maps& m) { m[1]->records[1].values[4] = -3; }},
        {"map 1 record 1: the bat's swing speed 1024", [](Maps& m) { m[1]->records[1].values[4] = 1024; }},
        {"map 1 record 1: the bat's brake 100 is too weak", [](Maps& m) { m[1]->records[1].values[4] = 300, m[1]->records[1].values[5] = 100; }},
        {"map 1 record 1: the bat's power 0", [](Maps& m) { m[1]->records[1].values[8] = 0; }},
        {"map 1 record 1: the bat's power 5000", [](Maps& m) { m[1]->records[1].values[8] = 5000; }},
        {"map 1 record 1: the bat's rest angle 300", [](Maps& m) { m[1]->records[1].values[2] = 300; }},
        {"map 1 record 2: drop mode 4", [](Maps& m) { m[1]->records[2].values[4] = 4; }},
        {"map 1 (bonus level 1) places 0 bonus objects, its target is 1", [](Maps& m) { m[1]->records[0] = header(3); }},
        {"map 1 (bonus level 1) places 1 bonus objects, its target is 2",
         [](Maps& m) { m[1]->records[0] = header(3), m[1]->records[0].values[4] = 2, m[1]->records.push_back({8, {10, 3, 3}}); }},
        {"map 1 (swing stage): the bat at (5, 13) cannot reach the character dropped at (6, 3) in drop mode 1",
         [](Maps& m) { m[1]->records[2].values[1] = 3; }},
        {"dropped at (16, 3) in drop mode 0", [](Maps& m) { m[1]->records[2].values = {16, 3, 30, 60, 0}; }},
        {"dropped at (6, 8) in drop mode 3", [](Maps& m) { m[1]->records[2].values[4] = 3; }},
        {"dropped at (6, 8) in drop mode 1", [](Maps& m) { m[1]->records[1].values[3] = 2; }},  // a short arm
        {"map 1 (swing stage): a character struck at (6, 8) is closed in",
         [](Maps& m) {
             for (int c = 4; c <= 8; ++c)
                 for (int r = 6; r <= 10; ++r)
                     if (c == 4 || c == 8 || r == 6 || r == 10) m[1]->cells[static_cast<std::size_t>(r * 21 + c)] = 21;
         }},
        {"map 1 (swing stage): the drop point (6, 8) is not an empty cell", [](Maps& m) { m[1]->cells[8 * 21 + 6] = 1; }},
        {"map 2 (crash stage of level 1) starts at (1, 1) without take-off room: cell (3, 1)", [](Maps& m) { m[2]->cells[1 * 21 + 3] = 22; }},
        {"map 2 (crash stage of level 1) starts at (1, 3) without take-off room: cell (1, 5)", [](Maps& m) { m[2]->records[0].values[1] = 3; }},
        {"map 1 (swing stage of level 1) lacks record 18", [](Maps& m) { m[1]->records.pop_back(); }},
        {"map 2 (crash stage of level 1) lacks record 11", [](Maps& m) { m[2]->records.erase(m[2]->records.begin() + 1); }},
        {"map 2 (crash stage of level 1) places no targets", [](Maps& m) { m[2]->records.resize(2); }},
        {"map 2 (crash stage of level 1) needs 3 targets broken but places 2", [](Maps& m) { m[2]->records[0].values[4] = 3; }},
        {"map 2 is 20 columns wide", [](Maps& m) { *m[2] = grid(20, 6, m[2]->records); }},
        {"map 2 record 2: the object at (3, 0)", [](Maps& m) { m[2]->records[2].values[2] = 0; }},
        {"map 2 record 3: waypoint 1 at (5, 4)", [](Maps& m) { m[2]->cells[5 * 21 + 5] = 0; }},
        {"map 2 places 41 objects", [](Maps& m) { for (int i = 0; i < 40; ++i) m[2]->records.push_back({9, {0, 1}}); }},
        {"map 0 has no level row for level 1", [](Maps& m) { std::swap(m[0]->records[0], m[0]->records[1]); }},
        {"map 0 record 0: the row of level 1 differs", [](Maps& m) { m[0]->records[0].values[4] = 9; }},
        {"map 3 has no row for level 1", [](Maps& m) { m[3]->records.clear(); }},
        {"map 9 is past the level file", [](Maps& m) { m[3]->records[0].values[4] = 9; }},
    };
    for (const auto& f : faults) {
        Maps maps = validMaps();
        f.breakIt(maps);
        const auto problems = check(maps);
        bool named = false;
        for (const auto& p : problems) named |= p.find(f.expect) != std::string::npos;
        EXPECT_TRUE(named) << f.expect << "\n got: " << (problems.empty() ? "nothing" : problems[0]);
    }
}

// Characters whose fall, hanging point or bounce passes the bat's swing.
TEST(LevelCheck, DropsTheBatCanStrikePass) {
    for (const std::vector<int> drop : {std::vector<int>{6, 3, 30, 60, 0}, {6, 10, 20, 84, 3}, {6, 8, 40, 92, 2}}) {
        auto maps = validMaps();
        maps[1]->records[2].values = drop;
        EXPECT_EQ(check(maps), std::vector<std::string>{}) << drop[4];
    }
}

// A struck character leaves through any gap: a walled pen around the drop
// point with one cell open, in the side or in the roof, passes.
TEST(LevelCheck, AGapInTheWallsIsAWayOut) {
    for (const int gap : {8 * 21 + 8, 6 * 21 + 5}) {
        auto maps = validMaps();
        for (int c = 4; c <= 8; ++c)
            for (int r = 6; r <= 10; ++r)
                if (c == 4 || c == 8 || r == 6 || r == 10) maps[1]->cells[static_cast<std::size_t>(r * 21 + c)] = 21;
        maps[1]->cells[static_cast<std::size_t>(gap)] = 0;
        EXPECT_EQ(check(maps), std::vector<std::string>{}) << gap;
    }
}

// A bonus level is its swing stage alone, with as many bonus objects as
// its target at least.
TEST(LevelCheck, BonusLevelWithEnoughBonusObjectsPasses) {
    auto maps = validMaps();
    maps[1]->records[0] = header(3);
    maps[1]->records[0].values[4] = 2;
    maps[1]->records.pop_back();  // no camera zone needed
    maps[1]->records.push_back({8, {10, 3, 3}});
    maps[1]->records.push_back({8, {10, 4, 3}});
    EXPECT_EQ(check(maps), std::vector<std::string>{});
}

}  // namespace
