// The level file: every map of the game in one entry.
//
// Byte 0 is not read; then one s32 per map: map k's block starts entry_k
// bytes after the end of its own table entry (at 5 + 4k + entry_k). The
// table's length is not stored. A block: u8 cols, u8 rows, rows x cols s8
// tile codes row-major, s16 record count, then the records: a u8 code and
// a payload whose layout depends on the code (codes without a layout, and
// all above 20, have none).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace java::io {
class DataReader;
}

namespace game::format {

struct LevelRecord {
    int code = 0;
    // Payload values in file order, each as its own width reads it.
    std::vector<int> values;
    bool operator==(const LevelRecord&) const = default;
};

struct LevelMap {
    int cols = 0, rows = 0;
    std::vector<std::int8_t> cells;  // rows x cols, row-major
    std::vector<LevelRecord> records;
    bool operator==(const LevelMap&) const = default;

    int cell(int col, int row) const { return cells.at(static_cast<std::size_t>(row * cols + col)); }
};

class LevelFile {
public:
    // Record codes with a fixed meaning to the loader.
    enum Code : int {
        Header = 0, Bumper = 7, Object = 8, Decoration = 9, Camera = 11, Switch = 12, Finale = 13,
        Bat = 14, Drop = 15, SmashTarget = 16, AimTarget = 17, CameraZone = 18, Skip1 = 19, LevelRow = 20
    };

    // Widths of a record's payload fields, 1 (u8) or 2 (s16), in file
    // order. For code 0 the list depends on the parameter count n.
    static std::vector<int> fieldWidths(int code, int paramCount = 0);

    // The whole file; maps[k] empty writes a 1 x 1 map without records for
    // map number k. Throws IllegalArgumentException naming the map for
    // sizes or values the format cannot hold.
    static std::vector<std::uint8_t> write(const std::vector<std::optional<LevelMap>>& maps);

    // Map k of a file, read to the end of its records. Throws
    // java::io::EOFException naming the map when the data ends early and
    // IllegalArgumentException for a negative record count or an offset
    // outside the file.
    static LevelMap read(std::span<const std::uint8_t> file, int map);

    // One record at the reader's position: its code and payload.
    static LevelRecord readRecord(java::io::DataReader& in);

    // How many table entries lie before the first map block (the count is
    // not stored, so this is inferred from the offsets; entries pointing
    // outside the file are passed over).
    static int mapCount(std::span<const std::uint8_t> file);

    // Position of map k's block in the file.
    static std::size_t blockOffset(std::span<const std::uint8_t> file, int map);
};

}  // namespace game::format
