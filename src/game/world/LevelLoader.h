// loadLevel: one map of the level file into the world. The grid is padded
// to the screen when it is smaller (pad mode 1 adds rows below, 2 above;
// columns are always added on the left), the decoration layer is built
// from the tiles, and the records place objects, the start, the camera,
// the finale, the swing stage's bat, drop point and targets, the level's
// tuning values and the level table.
//
// Data the world could not use safely are mended at load with one line on
// standard output naming the map and record: unknown tile codes become
// empty, unknown object sub-kinds and level-table slots are skipped, and
// tuning values are brought into range. A file that ends early, an offset
// outside the file or a map number past the offset table fail the load
// with java::io::IOException (EOFException when the data end early) and
// leave the world as it was.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace game::world {

class LevelLoader {
public:
    static constexpr std::int32_t kLevelFile = 0x10002;
    enum PadMode : int { NO_PAD = 0, PAD_BELOW = 1, PAD_ABOVE = 2, TABLE = 4 };
    // The map of the shared level table, and the header map.
    static constexpr int kTableMap = 44, kHeaderMap = 0;
    // Level parameter indices with a range.
    static constexpr int kParamDrag = 1, kParamBounceKeep = 6, kParamSpeedLimit = 23;
    // The swing stage's bat and drop (records 14 and 15): a swing speed of
    // at most kMaxBatKick, a brake that brings it back before its angle
    // could wrap (kick^2 x 512 / brake below kMaxBatTurn angle steps), a
    // power of at most kMaxBatPower percent, a rest angle inside one turn
    // and drop modes 0..3.
    static constexpr int kMaxBatKick = 1023, kMaxBatTurn = 32000, kMaxBatPower = 1000, kMaxDropMode = 3;
    // The smallest brake that keeps a swing at kick inside its range.
    static int minBatBrake(int kick);

    // Reads map `map` of the whole level file. headerOnly stops after the
    // first header record (records before it are applied).
    static void loadLevel(std::span<const std::uint8_t> file, int map, bool headerOnly, int padMode);
    // The same from the game's level file resource; the resource-pack cache
    // is dropped afterwards.
    static void loadLevel(int map, bool headerOnly, int padMode);
};

}  // namespace game::world
