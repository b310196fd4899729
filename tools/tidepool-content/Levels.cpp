// The level file from its source: maps as text grids with a legend of tile
// codes, and their records as named tables.
#include <algorithm>

#include "Compilers.h"
#include "game/format/LevelFile.h"

namespace content {

using game::format::LevelFile;
using game::format::LevelMap;
using game::format::LevelRecord;

namespace {

std::vector<int> cellPair(const Value& r, const char* key) { return intsAt(r, key, 2); }

LevelRecord record(const Value& r, const std::map<std::string, std::vector<int>>& paramSets) {
    const std::string type = stringAt(r, "type");
    LevelRecord out;
    auto add = [&](std::initializer_list<int> v) { out.values.insert(out.values.end(), v); };
    if (type == "header") {
        out.code = LevelFile::Header;
        const auto start = cellPair(r, "start");
        std::vector<int> params;
        const Value& pv = need(r, "params");
        if (pv.is_string()) {
            auto it = paramSets.find(pv.as_string().str);
            if (it == paramSets.end()) fail(pv, "no parameter set named " + pv.as_string().str);
            params = it->second;
        } else {
            params = intsOf(pv);
        }
        add({start[0], start[1], intAt(r, "flags", 0), intAt(r, "kind", 0), intAt(r, "target"), static_cast<int>(params.size()), 0});
        out.values.insert(out.values.end(), params.begin(), params.end());
    } else if (type == "bumper") {
        const auto at = cellPair(r, "at");
        const auto shift = lookup(r, "shift") ? cellPair(r, "shift") : std::vector<int>{0, 0};
        out.code = LevelFile::Bumper;
        add({at[0], at[1], shift[0], shift[1]});
    } else if (type == "object") {
        const auto at = cellPair(r, "at");
        out.code = LevelFile::Object;
        add({intAt(r, "sub"), at[0], at[1]});
    } else if (type == "decoration" || type == "camera") {
        const auto at = cellPair(r, "at");
        out.code = type == "camera" ? LevelFile::Camera : LevelFile::Decoration;
        add({at[0], at[1]});
    } else if (type == "switch") {
        const auto at = cellPair(r, "at"), to = cellPair(r, "to"), size = cellPair(r, "size");
        out.code = LevelFile::Switch;
        add({at[0], at[1], to[0], to[1], size[0], size[1]});
    } else if (type == "finale") {
        out.code = LevelFile::Finale;
        out.values.push_back(intAt(r, "form"));
        const Value& wps = need(r, "waypoints");
        if (!wps.is_array() || wps.as_array().size() > 6) fail(wps, "up to six waypoints [col, row]");
        for (std::size_t i = 0; i < 6; ++i) {
            if (i < wps.as_array().size()) {
                const auto p = intsOf(wps.as_array()[i]);
                if (p.size() != 2) fail(wps.as_array()[i], "a waypoint is [col, row]");
                add({p[0], p[1]});
            } else {
                add({0, 0});
            }
        }
        const auto at = cellPair(r, "at");
        add({at[0], at[1], intAt(r, "rope", 0)});
    } else if (type == "bat") {
        const auto at = cellPair(r, "at");
        const auto shift = lookup(r, "shift") ? cellPair(r, "shift") : std::vector<int>{0, 0};
        out.code = LevelFile::Bat;
        add({at[0], at[1], intAt(r, "rest_angle"), intAt(r, "arm"), intAt(r, "speed"), intAt(r, "brake"), shift[0], shift[1], intAt(r, "power")});
    } else if (type == "drop") {
        const auto at = cellPair(r, "at");
        out.code = LevelFile::Drop;
        add({at[0], at[1], intAt(r, "spread"), intAt(r, "speed"), intAt(r, "mode")});
    } else if (type == "smash_target" || type == "aim_target") {
        const auto at = cellPair(r, "at");
        out.code = type == "aim_target" ? LevelFile::AimTarget : LevelFile::SmashTarget;
        add({at[0], at[1], intAt(r, "dx", 0), 0});
    } else if (type == "camera_zone") {
        const auto at = cellPair(r, "at"), size = cellPair(r, "size");
        out.code = LevelFile::CameraZone;
        add({at[0], at[1], size[0], size[1]});
    } else if (type == "level") {
        out.code = LevelFile::LevelRow;
        add({intAt(r, "slot"), 0, intAt(r, "theme"), intAt(r, "swing"), intAt(r, "crash")});
    } else if (type == "raw") {
        out.code = intAt(r, "code");
        out.values = intsAt(r, "values");
    } else {
        fail(r, "unknown record type " + type);
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> compileLevels(const fs::path& file, Deps& deps) {
    const Value doc = parseToml(file, deps);
    std::map<std::string, int> legend;
    for (const auto& [ch, code] : need(doc, "legend").as_table()) {
        if (ch.size() != 1) fail(code, "legend keys are single characters");
        legend[ch] = intOf(code);
        if (legend[ch] < -128 || legend[ch] > 255) fail(code, "tile codes are bytes");
    }
    std::map<std::string, std::vector<int>> paramSets;
    if (const Value* sets = lookup(doc, "params"))
        for (const auto& [name, v] : sets->as_table()) paramSets[name] = intsOf(v);

    std::vector<std::optional<LevelMap>> maps;
    std::vector<fs::path> mapFiles;
    for (const auto& f : need(doc, "maps").as_array()) mapFiles.push_back(file.parent_path() / stringOf(f));
    for (const auto& mf : mapFiles) {
        const Value mdoc = parseToml(mf, deps);
        for (const auto& m : need(mdoc, "map").as_array()) {
            const int number = intAt(m, "number");
            if (number < 0 || number > 1000) fail(m, "map numbers are 0..1000");
            if (maps.size() <= static_cast<std::size_t>(number)) maps.resize(static_cast<std::size_t>(number) + 1);
            if (maps[static_cast<std::size_t>(number)]) fail(m, "map " + std::to_string(number) + " is defined twice");
            LevelMap lm;
            const Value& gridValue = need(m, "grid");
            std::vector<std::string> lines;
            std::string grid = stringOf(gridValue), line;
            for (char c : grid) {
                if (c == '\n') {
                    if (!line.empty()) lines.push_back(line);
                    line.clear();
                } else {
                    line += c;
                }
            }
            if (!line.empty()) lines.push_back(line);
            if (lines.empty()) fail(gridValue, "map " + std::to_string(number) + " has an empty grid");
            lm.rows = static_cast<int>(lines.size());
            lm.cols = static_cast<int>(lines[0].size());
            for (std::size_t r = 0; r < lines.size(); ++r) {
                if (static_cast<int>(lines[r].size()) != lm.cols) fail(gridValue, "map " + std::to_string(number) + ": row " + std::to_string(r) + " is not " + std::to_string(lm.cols) + " cells wide");
                for (char c : lines[r]) {
                    auto it = legend.find(std::string(1, c));
                    if (it == legend.end()) fail(gridValue, "map " + std::to_string(number) + ": '" + std::string(1, c) + "' is not in the legend");
                    lm.cells.push_back(static_cast<std::int8_t>(it->second));
                }
            }
            if (const Value* recs = lookup(m, "records"))
                for (const auto& r : recs->as_array()) lm.records.push_back(record(r, paramSets));
            maps[static_cast<std::size_t>(number)] = std::move(lm);
        }
    }
    try {
        return LevelFile::write(maps);
    } catch (const std::exception& e) {
        fail(need(doc, "maps"), e.what());
    }
}

}  // namespace content
