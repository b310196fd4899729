// A clean world for each test, maps from text grids, and level files built
// with the format's writer.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "TarvokinEmu/Emulator.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/format/AnimationData.h"
#include "game/format/LevelFile.h"
#include "game/world/GameWorld.h"
#include "platform/Console.h"

namespace game::world::testing {

// '.' empty, '#' wall 21, 'b' breakable 1 (passes), 'c' breakable 2
// (bounces), '/' slope 25 (solid lower right), '\' slope 26 (solid lower
// left), 'x' barrier 157.
inline int codeOf(char c) {
    switch (c) {
        case '#': return 21;
        case 'b': return 1;
        case 'c': return 2;
        case '/': return 25;
        case '\\': return 26;
        case 'x': return 157;
        default: return 0;
    }
}

// Friction 200 and restitution 100 on every surface.
inline std::vector<int> plainParams() {
    std::vector<int> p(24, 0);
    p[0] = 4800, p[1] = 2000, p[4] = 7, p[6] = 70, p[23] = 12000;
    for (int i = 7; i <= 22; i += 2) p[static_cast<std::size_t>(i)] = 200, p[static_cast<std::size_t>(i + 1)] = 100;
    return p;
}

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        TarvokinEmu::Emulator::resetClassState();
        MainCanvas::resetClassState();
        SpriteSheet::resetClassState();
        GameWorld::resetClassState();
        GameWorld::state().random.seed = 0;
        platform::Console::redirect(&out_, nullptr);
    }
    void TearDown() override {
        platform::Console::redirect(nullptr, nullptr);
        GameWorld::resetClassState();
        SpriteSheet::resetClassState();
        MainCanvas::resetClassState();
    }

    // Puts a map straight into the world (40 x 32 cells).
    static void setMap(const std::vector<std::string>& rows) {
        auto& s = GameWorld::state();
        s.mapRows = static_cast<int>(rows.size());
        s.mapCols = static_cast<int>(rows.at(0).size());
        s.tileMap.clear();
        for (const auto& r : rows)
            for (char c : r) s.tileMap.push_back(static_cast<std::uint8_t>(codeOf(c)));
        s.decorLayer.assign(s.tileMap.size(), 0);
        s.mapPixelWidth = s.mapCols * 40;
        s.mapPixelHeight = s.mapRows * 32;
        s.levelParams = plainParams();
    }

    static format::LevelMap mapOf(const std::vector<std::string>& rows, std::vector<format::LevelRecord> records) {
        format::LevelMap m;
        m.rows = static_cast<int>(rows.size());
        m.cols = static_cast<int>(rows.at(0).size());
        for (const auto& r : rows)
            for (char c : r) m.cells.push_back(static_cast<std::int8_t>(codeOf(c)));
        m.records = std::move(records);
        return m;
    }
    static format::LevelRecord header(int startCol, int startRow, int flags = 0, int kind = 0, int target = 0,
                                      std::vector<int> params = plainParams()) {
        format::LevelRecord r{0, {startCol, startRow, flags, kind, target, static_cast<int>(params.size()), 0}};
        r.values.insert(r.values.end(), params.begin(), params.end());
        return r;
    }
    static std::vector<std::uint8_t> fileOf(int map, const format::LevelMap& m) {
        std::vector<std::optional<format::LevelMap>> maps(static_cast<std::size_t>(map) + 1);
        maps[static_cast<std::size_t>(map)] = m;
        return format::LevelFile::write(maps);
    }

    // Standard output since the last call.
    std::string takeOutput() {
        std::string s = out_.str();
        out_.str("");
        return s;
    }

    // A decoded animation with one box per frame (x, y, w, h).
    static SpriteSheet::Animation boxAnimation(const std::vector<std::array<int, 4>>& frames) {
        format::Animation a;
        a.extentX = 40;
        a.extentY = 32;
        for (const auto& b : frames) {
            format::AnimFrame f;
            f.duration = 100;
            f.boxes.push_back({0, b[0], b[1], b[2], b[3]});
            a.frames.push_back(f);
        }
        return SpriteSheet::decodeAnimation(format::AnimationData::encode(a), 1, [](std::int32_t, int, int, int) { return 0; });
    }

    std::ostringstream out_;
};

}  // namespace game::world::testing
