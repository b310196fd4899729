#include "LevelCheck.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "game/format/LevelFile.h"
#include "game/stage/SwingStage.h"
#include "game/world/FixedMath.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "game/world/TileRules.h"

namespace content {

namespace {

using game::format::LevelFile;
using game::format::LevelMap;
using game::format::LevelRecord;
using game::stage::SwingStage;
using game::world::FixedMath;
using game::world::GameWorld;
using game::world::LevelLoader;
using game::world::TileRules;

constexpr int kMaxSubKind = 10, kMaxSlot = 27, kBonusSubKind = 10;
// Object sub-kinds 0..9 are targets (10 is the bonus object).
constexpr int kLastTargetSubKind = 9;
// The start cell and the cells right of it the run-up passes through, and
// the cells under it a take-off falls through.
constexpr int kTakeOffCells = 3, kTakeOffDrop = 2;
constexpr int kParamDrag = 1, kParamGravity = 4, kParamBounceKeep = 6, kFirstSurface = 7, kLastSurface = 22;

class LevelChecker {
public:
    LevelChecker(std::span<const std::uint8_t> file, const LevelRules& rules) : file_(file), rules_(rules) {}

    std::vector<std::string> run() {
        count_ = LevelFile::mapCount(file_);
        for (int k = 0; k < rules_.maps; ++k) map(k);
        const LevelMap* table = map(rules_.tableMap);
        const LevelMap* header = map(0);
        if (!table) return problems_;
        const auto rows = levelRows(*table, table->records.size());
        if (header) compareHeaderRows(*header, rows);
        for (int level = 1; level <= rules_.levels; ++level) {
            const auto it = rows.find(level);
            if (it == rows.end()) {
                problem(rules_.tableMap, "has no row for level " + std::to_string(level));
                continue;
            }
            const auto& [record, row] = it->second;
            checkStages(level, record, row[3], row[4]);
        }
        return problems_;
    }

private:
    void problem(int k, const std::string& what) { problems_.push_back("map " + std::to_string(k) + " " + what); }
    void problem(int k, std::size_t record, const std::string& what) { problem(k, "record " + std::to_string(record) + ": " + what); }

    // A parsed map, checked on first use; null when it cannot be read.
    const LevelMap* map(int k) {
        auto it = maps_.find(k);
        if (it != maps_.end()) return it->second ? &*it->second : nullptr;
        std::optional<LevelMap> m;
        if (k < 0 || k >= count_) {
            problem(k, "is past the level file's " + std::to_string(count_) + " maps");
        } else {
            try {
                m = LevelFile::read(file_, k);
            } catch (const std::exception& e) {
                problems_.push_back(e.what());
            }
        }
        it = maps_.emplace(k, std::move(m)).first;
        if (it->second) checkMap(k, *it->second);
        return it->second ? &*it->second : nullptr;
    }

    // What every map needs to load without mending.
    void checkMap(int k, const LevelMap& m) {
        for (int i = 0; i < m.cols * m.rows; ++i) {
            const int code = static_cast<std::uint8_t>(m.cells[static_cast<std::size_t>(i)]);
            if (!TileRules::isKnownCode(code)) {
                problem(k, "cell (" + std::to_string(i % m.cols) + ", " + std::to_string(i / m.cols) + ") holds " +
                               std::to_string(code) + ", which is not a tile code");
                break;
            }
        }
        int objects = 0;
        for (std::size_t i = 0; i < m.records.size(); ++i) {
            const LevelRecord& r = m.records[i];
            const auto& v = r.values;
            if (r.code == LevelFile::Header) checkParams(k, i, v);
            if (r.code == LevelFile::Object && v[0] > kMaxSubKind) problem(k, i, "object sub-kind " + std::to_string(v[0]) + " is not 0.." + std::to_string(kMaxSubKind));
            if (r.code == LevelFile::LevelRow && v[0] > kMaxSlot) problem(k, i, "level table slot " + std::to_string(v[0]) + " is not 0.." + std::to_string(kMaxSlot));
            if (r.code == LevelFile::Bat) checkBat(k, i, v);
            if (r.code == LevelFile::Drop && (v[4] < 0 || v[4] > LevelLoader::kMaxDropMode)) problem(k, i, "drop mode " + std::to_string(v[4]) + " is not 0..3");
            if (r.code == LevelFile::Bumper || r.code == LevelFile::Object || r.code == LevelFile::Decoration || r.code == LevelFile::Switch) ++objects;
        }
        if (objects > rules_.maxObjects) problem(k, "places " + std::to_string(objects) + " objects, at most " + std::to_string(rules_.maxObjects) + " fit");
    }

    // Record 14: a bat that swings, comes back to rest without its angle
    // wrapping, and strikes with a power the character's speed can carry.
    void checkBat(int k, std::size_t i, const std::vector<int>& v) {
        const int rest = v[2], kick = v[4], brake = v[5], power = v[8];
        if (kick <= 0 || brake <= 0) return problem(k, i, "the bat needs a positive swing speed and brake");
        if (kick > LevelLoader::kMaxBatKick) problem(k, i, "the bat's swing speed " + std::to_string(kick) + " is above " + std::to_string(LevelLoader::kMaxBatKick));
        else if (brake < LevelLoader::minBatBrake(kick))
            problem(k, i, "the bat's brake " + std::to_string(brake) + " is too weak for swing speed " + std::to_string(kick) + " (at least " +
                              std::to_string(LevelLoader::minBatBrake(kick)) + ")");
        if (power <= 0 || power > LevelLoader::kMaxBatPower) problem(k, i, "the bat's power " + std::to_string(power) + " is not 1.." + std::to_string(LevelLoader::kMaxBatPower));
        if (rest < 0 || rest > 255) problem(k, i, "the bat's rest angle " + std::to_string(rest) + " is not 0..255");
    }

    void checkParams(int k, std::size_t i, const std::vector<int>& v) {
        const std::vector<int> p(v.begin() + 7, v.end());
        if (static_cast<int>(p.size()) < rules_.headerParams) {
            problem(k, i, std::to_string(p.size()) + " level parameters, needs " + std::to_string(rules_.headerParams));
            return;
        }
        if (p[kParamDrag] == 0) problem(k, i, "level parameter 1 (air drag divisor) is 0");
        if (p[kParamGravity] <= 0) problem(k, i, "level parameter 4 (gravity) is not positive");
        if (p[kParamBounceKeep] < 0 || p[kParamBounceKeep] > 100) problem(k, i, "level parameter 6 (bounce percent) is not 0..100");
        for (int j = kFirstSurface; j <= kLastSurface; ++j)
            if (p[static_cast<std::size_t>(j)] < 0 || p[static_cast<std::size_t>(j)] > 256)
                problem(k, i, "level parameter " + std::to_string(j) + " (friction or restitution) is not 0..256");
    }

    using Rows = std::map<int, std::pair<std::size_t, std::vector<int>>>;
    static Rows levelRows(const LevelMap& m, std::size_t before) {
        Rows rows;
        for (std::size_t i = 0; i < before && i < m.records.size(); ++i)
            if (m.records[i].code == LevelFile::LevelRow) rows[m.records[i].values[0]] = {i, m.records[i].values};
        return rows;
    }

    // The level table must also stand before map 0's header, which the
    // swing stage reads first.
    void compareHeaderRows(const LevelMap& m, const Rows& table) {
        std::size_t header = m.records.size();
        for (std::size_t i = 0; i < m.records.size() && header == m.records.size(); ++i)
            if (m.records[i].code == LevelFile::Header) header = i;
        if (header == m.records.size()) return problem(0, "has no header record");
        const Rows rows = levelRows(m, header);
        for (int level = 1; level <= rules_.levels; ++level) {
            const auto a = rows.find(level), b = table.find(level);
            if (a == rows.end()) problem(0, "has no level row for level " + std::to_string(level) + " before its header");
            else if (b != table.end() && a->second.second != b->second.second)
                problem(0, a->second.first, "the row of level " + std::to_string(level) + " differs from map " + std::to_string(rules_.tableMap));
        }
    }

    static std::set<int> codes(const LevelMap& m) {
        std::set<int> c;
        for (const auto& r : m.records) c.insert(r.code);
        return c;
    }

    void checkStages(int level, std::size_t row, int swing, int crash) {
        const std::string lv = "level " + std::to_string(level);
        const LevelMap* sm = map(swing);
        if (!sm) return problem(rules_.tableMap, row, lv + " names swing map " + std::to_string(swing) + ", which cannot be read");
        const std::set<int> sc = codes(*sm);
        bool bonus = false;
        int target = 0, bonusObjects = 0;
        for (const auto& r : sm->records) {
            if (r.code == LevelFile::Header) bonus = r.values[3] == 3, target = r.values[4];
            if (r.code == LevelFile::Object && r.values[0] == kBonusSubKind) ++bonusObjects;
        }
        for (int need : {0, 14, 15, 18}) {
            if (need == 18 && bonus) continue;
            if (!sc.count(need)) problem(swing, "(swing stage of " + lv + ") lacks record " + std::to_string(need));
        }
        // A bonus level is graded by the bonus objects its character breaks.
        if (bonus && bonusObjects < std::max(1, target))
            problem(swing, "(bonus " + lv + ") places " + std::to_string(bonusObjects) + " bonus objects, its target is " + std::to_string(target) +
                               " and it needs at least one");
        checkReach(swing, *sm);
        checkExit(swing, *sm);
        if (bonus) return;
        const LevelMap* cm = map(crash);
        if (!cm) return problem(rules_.tableMap, row, lv + " names crash map " + std::to_string(crash) + ", which cannot be read");
        const std::set<int> cc = codes(*cm);
        for (int need : {0, 11})
            if (!cc.count(need)) problem(crash, "(crash stage of " + lv + ") lacks record " + std::to_string(need));
        checkTargets(crash, lv, *cm);
        if (cm->cols < rules_.minCrashCols) problem(crash, "is " + std::to_string(cm->cols) + " columns wide, a crash map needs " + std::to_string(rules_.minCrashCols));
        checkFooting(crash, *cm);
        checkStart(crash, lv, *cm);
    }

    static bool open(const LevelMap& m, int col, int row) {
        return col >= 0 && col < m.cols && row >= 0 && row < m.rows && TileRules::isEmptyCode(static_cast<std::uint8_t>(m.cell(col, row)));
    }

    // A struck character banks its launch only by leaving the map: from the
    // drop point some way through empty cells must reach the map's edge
    // (padding continues the edge cells, so an open edge stays open).
    void checkExit(int k, const LevelMap& m) {
        const LevelRecord* drop = nullptr;
        for (const auto& r : m.records)
            if (r.code == LevelFile::Drop) drop = &r;
        if (!drop) return;
        const int col = drop->values[0], row = drop->values[1];
        const std::string at = "(" + std::to_string(col) + ", " + std::to_string(row) + ")";
        if (!open(m, col, row)) return problem(k, "(swing stage): the drop point " + at + " is not an empty cell");
        std::vector<bool> seen(static_cast<std::size_t>(m.cols * m.rows));
        std::vector<std::pair<int, int>> todo{{col, row}};
        seen[static_cast<std::size_t>(row * m.cols + col)] = true;
        while (!todo.empty()) {
            const auto [c, r] = todo.back();
            todo.pop_back();
            if (c == 0 || r == 0 || c == m.cols - 1 || r == m.rows - 1) return;
            for (const auto& [dc, dr] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nc = c + dc, nr = r + dr;
                if (!open(m, nc, nr) || seen[static_cast<std::size_t>(nr * m.cols + nc)]) continue;
                seen[static_cast<std::size_t>(nr * m.cols + nc)] = true;
                todo.push_back({nc, nr});
            }
        }
        problem(k, "(swing stage): a character struck at " + at + " is closed in and can never leave the map");
    }

    // The crash stage's run-up holds its character level with the start
    // cell, and a take-off only lets it fall from there: the start cell,
    // the next ones to its right and the ones below it must be empty, or
    // the launch could not take off or would land where it took off.
    void checkStart(int k, const std::string& lv, const LevelMap& m) {
        for (const auto& r : m.records) {
            if (r.code != LevelFile::Header) continue;
            const int col = r.values[0], row = r.values[1];
            std::vector<std::pair<int, int>> room;
            for (int c = col; c < col + kTakeOffCells; ++c) room.push_back({c, row});
            for (int d = 1; d <= kTakeOffDrop; ++d) room.push_back({col, row + d});
            for (const auto& [c, rr] : room)
                if (!open(m, c, rr))
                    return problem(k, "(crash stage of " + lv + ") starts at (" + std::to_string(col) + ", " + std::to_string(row) + ") without take-off room: cell (" +
                                          std::to_string(c) + ", " + std::to_string(rr) + ") is not empty");
            return;
        }
    }

    // A crash map must hold something to break, and no more must be needed
    // than it holds: the stage ends when all of it is gone.
    void checkTargets(int k, const std::string& lv, const LevelMap& m) {
        int placed = 0, needed = 0;
        bool header = false;
        for (const auto& r : m.records) {
            if (r.code == LevelFile::Object && r.values[0] <= kLastTargetSubKind) ++placed;
            if (r.code == LevelFile::Finale) ++placed;
            if (r.code == LevelFile::Header && !header) {
                needed = r.values[4];
                header = true;
            }
        }
        if (placed == 0) problem(k, "(crash stage of " + lv + ") places no targets: nothing could be broken");
        else if (needed > placed)
            problem(k, "(crash stage of " + lv + ") needs " + std::to_string(needed) + " targets broken but places " + std::to_string(placed));
    }

    // The character must come within the bat's swing in its drop mode, or
    // the stage could never go on.
    void checkReach(int k, const LevelMap& m) {
        const LevelRecord *bat = nullptr, *drop = nullptr;
        for (const auto& r : m.records) {
            if (r.code == LevelFile::Bat) bat = &r;
            if (r.code == LevelFile::Drop) drop = &r;
        }
        if (!bat || !drop) return;
        const auto &v = bat->values, &d = drop->values;
        // The stage's cells; its padding moves bat and drop alike.
        const int tw = GameWorld::kCellWidth, th = GameWorld::kCellHeight;
        GameWorld::SwingSetup b;
        b.batPivotX = FixedMath::shl(FixedMath::wrap(std::int64_t{v[0]} * tw + v[6]), 16);
        b.batPivotY = FixedMath::shl(FixedMath::wrap(std::int64_t{v[1]} * th + v[7]), 16);
        b.batRestAngle = v[2], b.batLength = v[3], b.batKick = v[4], b.batBrake = v[5];
        b.dropX = FixedMath::wrap(std::int64_t{d[0]} * tw), b.dropY = FixedMath::wrap((std::int64_t{d[1]} + 1) * th);
        b.dropSpread = d[2], b.dropSpeed = d[3], b.dropMode = d[4];
        if (!SwingStage::batReachesDrop(b, tw, th))
            problem(k, "(swing stage): the bat at (" + std::to_string(v[0]) + ", " + std::to_string(v[1]) + ") cannot reach the character dropped at (" +
                           std::to_string(d[0]) + ", " + std::to_string(d[1]) + ") in drop mode " + std::to_string(d[4]));
    }

    // Objects and the roaming target's stops must stand on solid cells:
    // they are destroyed (or hit) when the cell under them is empty.
    void checkFooting(int k, const LevelMap& m) {
        auto solidUnder = [&](int col, int row) {
            if (col < 0 || col >= m.cols || row < 0 || row >= m.rows) return false;
            return row + 1 == m.rows || TileRules::tileKind(static_cast<std::uint8_t>(m.cell(col, row + 1))) != 0;
        };
        int finales = 0;
        for (std::size_t i = 0; i < m.records.size(); ++i) {
            const auto& v = m.records[i].values;
            const int code = m.records[i].code;
            if (code == LevelFile::Object || code == LevelFile::Decoration) {
                const int col = code == LevelFile::Object ? v[1] : v[0], row = code == LevelFile::Object ? v[2] : v[1];
                if (!solidUnder(col, row)) problem(k, i, "the object at (" + std::to_string(col) + ", " + std::to_string(row) + ") has nothing under it");
            }
            if (code != LevelFile::Finale) continue;
            if (++finales > 1) problem(k, i, "a second finale");
            for (int w = 0; w < 6; ++w) {
                const int col = v[static_cast<std::size_t>(1 + 2 * w)], row = v[static_cast<std::size_t>(2 + 2 * w)];
                if (col != 0 && row != 0 && !solidUnder(col, row))
                    problem(k, i, "waypoint " + std::to_string(w) + " at (" + std::to_string(col) + ", " + std::to_string(row) + ") has nothing under it");
            }
            if (!solidUnder(v[13], v[14])) problem(k, i, "the roaming target at (" + std::to_string(v[13]) + ", " + std::to_string(v[14]) + ") has nothing under it");
        }
    }

    std::span<const std::uint8_t> file_;
    const LevelRules& rules_;
    int count_ = 0;
    std::map<int, std::optional<LevelMap>> maps_;
    std::vector<std::string> problems_;
};

}  // namespace

std::vector<std::string> checkLevelFile(std::span<const std::uint8_t> file, const LevelRules& rules) {
    return LevelChecker(file, rules).run();
}

}  // namespace content
