// The runtime's bitmap font files: the metrics records (.cor) and the palette
// recolouring of the glyph sheets (.png). Both read untrusted bytes and stay
// inside them whatever they hold.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace javax::microedition::lcdui {

// One 6-byte metrics record, bytes read as signed 8-bit values.
struct GlyphRecord {
    int offsetX;  // cleared on load
    int offsetY;  // cell top below the drawing y
    int width;    // cell width and advance
    int height;
    int sheetX;  // already + 128: 0..255
    int sheetY;
};

class FontMetrics {
public:
    static constexpr int kRecordSize = 6;
    static constexpr int kFirstChar = 32;

    FontMetrics() = default;
    // A trailing partial record is ignored; byte 0 of every record is cleared.
    explicit FontMetrics(std::vector<std::uint8_t> bytes);

    int recordCount() const { return static_cast<int>(bytes_.size() / kRecordSize); }
    // The record of character c, none below 32 or past the last record.
    std::optional<GlyphRecord> record(char32_t c) const;
    // Byte 3 of the space's record; 0 when the file holds no record.
    int height() const;
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// Characters of UTF-8 text; a byte that does not start a valid sequence
// stands for itself, so bad text measures and draws without failing.
std::vector<char32_t> decodeText(std::string_view s);

// The standard PNG chunk CRC-32 (table built once).
std::uint32_t pngCrc(std::span<const std::uint8_t> bytes);

// Rewrites the PLTE entries whose components all match key's under the
// 0xF0 mask to replacement's RGB and stores the chunk's new CRC. Returns
// false (bytes untouched) when no PLTE is found from offset 32 or the chunk
// does not fit in the bytes.
bool recolourPalette(std::vector<std::uint8_t>& png, std::uint32_t key, std::uint32_t replacement);

}  // namespace javax::microedition::lcdui
