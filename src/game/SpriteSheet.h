// SpriteSheet: the game's animated sprites and the pictures they draw.
//
// This header currently holds the packed-image side: the class-wide writer
// that turns a raw pixel entry into a complete PNG file in memory (stored
// deflate blocks, no compressor), its checksums, and the palette table
// decoding. The same writer is used by the content compiler, so the
// checksums it stores in raw entries are the ones the game copies.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace game {

class SpriteSheet {
public:
    // Palette selectors above the indexed range.
    static constexpr int PALETTE_RGB = 254;
    static constexpr int PALETTE_RGBA = 255;
    // buildPng's format argument for palette-indexed pixels.
    static constexpr int FORMAT_INDEXED = -1;
    // Header sizes of raw entries: indexed ones carry the stored checksums.
    static constexpr int INDEXED_HEADER = 12;
    static constexpr int DIRECT_HEADER = 4;
    // Largest output picture buildPng writes (pixels); larger requests are
    // rejected before anything is allocated.
    static constexpr std::int64_t kMaxOutputPixels = std::int64_t{1} << 24;

    // ---- packed images ----

    // A complete PNG of entry's pixels. palette holds colours packed as
    // (r << 24) | (g << 16) | (b << 8) | 0xFF and is used only when format
    // is FORMAT_INDEXED; format 254 reads 3 bytes per pixel, 255 reads 4.
    // flip bit 0 mirrors left to right, bit 1 turns upside down; scale is
    // 1..8. Pixels are read from entry[headerSize..]. Throws
    // ArrayIndexOutOfBoundsException when the entry is too short and
    // IllegalArgumentException for a bad size, format, flip or scale.
    static std::vector<std::uint8_t> buildPng(std::span<const std::int32_t> palette,
                                              std::span<const std::uint8_t> entry, int width, int height,
                                              int format, int headerSize, int flip, int scale);

    // Width and height from the first four bytes of a raw entry (signed
    // 16-bit each). Throws ArrayIndexOutOfBoundsException below 4 bytes.
    static int rawWidth(std::span<const std::uint8_t> entry);
    static int rawHeight(std::span<const std::uint8_t> entry);

    // The 8 bytes an indexed raw entry stores at offsets 4..11: the
    // Adler-32 of the zlib data and the CRC-32 of the IDAT chunk that
    // buildPng writes at scale 1, unflipped. pixels are W x H indices.
    static std::vector<std::uint8_t> indexedChecksums(std::span<const std::uint8_t> pixels, int width,
                                                      int height);

    // A whole indexed raw entry (header with checksums, then pixels).
    static std::vector<std::uint8_t> makeIndexedEntry(std::span<const std::uint8_t> pixels, int width,
                                                      int height);
    // A whole direct-colour raw entry (4-byte header, then 3 or 4 bytes a
    // pixel).
    static std::vector<std::uint8_t> makeDirectEntry(std::span<const std::uint8_t> pixels, int width,
                                                     int height);

    // Standard CRC-32 as PNG defines it.
    static std::uint32_t crc32(std::span<const std::uint8_t> bytes);
    static std::uint32_t crc32(std::span<const std::uint8_t> buf, int offset, int length);
    static std::uint32_t adler32(std::span<const std::uint8_t> bytes);

    // One palette entry: n = length / 3 colours, packed as above; a
    // trailing incomplete group is dropped.
    static std::vector<std::int32_t> paletteFromEntry(std::span<const std::uint8_t> entry);
    // The palette table: a 4-byte count, then that many 4-byte resource
    // ids. Throws java::io::EOFException when the entry ends early.
    static std::vector<std::int32_t> paletteTableIds(std::span<const std::uint8_t> entry);
    static std::vector<std::uint8_t> makePaletteTable(std::span<const std::int32_t> ids);
};

}  // namespace game
