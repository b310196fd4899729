// The game's bitmap font resource: s16 glyph count n, s8 spacing, s8
// ascent, s8 descent, then runs until n glyph records are read. A run is a
// u8 length k, a u16 first character code and k glyph records for
// consecutive codes (wrapping at 0xFFFF). A glyph record: u8 srcX, s16
// srcY, s8 advance, s8 height, s8 top (distance from the glyph's top to the
// baseline). The first record read is glyph n - 1, the last glyph 0.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace game::format {

struct GameGlyph {
    int code = 0;
    int srcX = 0, srcY = 0, advance = 0, height = 0, top = 0;
    bool operator==(const GameGlyph&) const = default;
};

struct GameFont {
    int spacing = 0, ascent = 0, descent = 0;
    // In glyph-index order: glyphs[i] is glyph i.
    std::vector<GameGlyph> glyphs;
    bool operator==(const GameFont&) const = default;
};

class GameFontData {
public:
    // The resource. Glyphs are written from index n - 1 down to 0, one run
    // per stretch of consecutive codes (at most 255 a run). Throws
    // IllegalArgumentException for values the format cannot hold.
    static std::vector<std::uint8_t> encode(const GameFont& font);
    // Reads as the game does. Throws java::io::EOFException when the data
    // ends before n records and IllegalArgumentException for a negative n.
    static GameFont decode(std::span<const std::uint8_t> entry);
};

}  // namespace game::format
