// The level file's rules: what makes every map loadable by the game and
// every level playable. Problems name the map and, where one is at fault,
// the record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace content {

struct LevelRules {
    int maps = 45;          // maps 0..maps-1 must parse
    int tableMap = 44;      // the level table
    int levels = 27;        // level rows 1..levels
    int headerParams = 24;  // tuning values in every header
    int maxObjects = 40;
    int minCrashCols = 21;  // a crash map fills the screen without padding columns
};

std::vector<std::string> checkLevelFile(std::span<const std::uint8_t> file, const LevelRules& rules);

}  // namespace content
