#include "game/SpriteSheet.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "TarvokinEmu/PNGReader.h"
#include "java/io/DataReader.h"
#include "java/lang/Exceptions.h"

namespace game {
namespace {

std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

// The IDAT chunk of a PNG: offset of its length field and the data.
struct Idat {
    std::size_t at = 0;
    std::vector<std::uint8_t> data;
};
Idat findIdat(const std::vector<std::uint8_t>& png) {
    std::size_t p = 8;
    int count = 0;
    Idat found;
    while (p + 8 <= png.size()) {
        const std::uint32_t len = be32(png, p);
        if (std::string(png.begin() + static_cast<long>(p) + 4, png.begin() + static_cast<long>(p) + 8) == "IDAT") {
            ++count;
            found.at = p;
            found.data.assign(png.begin() + static_cast<long>(p) + 8, png.begin() + static_cast<long>(p + 8 + len));
        }
        p += 12 + len;
    }
    EXPECT_EQ(count, 1);
    EXPECT_EQ(p, png.size());
    return found;
}

// Stored-block lengths of a zlib stream written without compression.
std::vector<int> storedBlocks(const std::vector<std::uint8_t>& z) {
    std::vector<int> lens;
    std::size_t p = 2;
    for (;;) {
        const int last = z.at(p);
        const int len = z.at(p + 1) | (z.at(p + 2) << 8);
        EXPECT_EQ((len ^ 0xFFFF), z.at(p + 3) | (z.at(p + 4) << 8));
        lens.push_back(len);
        p += 5 + static_cast<std::size_t>(len);
        if (last) break;
    }
    EXPECT_EQ(p + 4, z.size());
    return lens;
}

const std::vector<std::int32_t> kPalette = {0x000000FF, static_cast<std::int32_t>(0xFF0000FFu), 0x00FF00FF, 0x0000FFFF,
                                            static_cast<std::int32_t>(0xFFFFFFFFu)};

std::uint32_t argbOf(std::int32_t rgba) {
    const auto u = static_cast<std::uint32_t>(rgba);
    return 0xFF000000u | (u >> 8);
}

struct Case {
    int format, width, height, flip, scale;
};

// Every output pixel is the source pixel the flip and scale select, as the
// runtime's own decoder sees it.
TEST(SpriteSheetBuildPng, OutputPixelsFollowFlipScaleAndFormat) {
    const Case cases[] = {{-1, 1, 1, 0, 1}, {-1, 2, 1, 1, 2}, {-1, 2, 1, 0, 2}, {-1, 5, 3, 2, 1}, {-1, 7, 4, 3, 3},
                          {254, 3, 2, 1, 1}, {254, 1, 1, 0, 8}, {255, 4, 3, 2, 2}, {255, 2, 5, 3, 1}};
    std::mt19937 rng(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << " " << c.width << "x" << c.height << " flip " << c.flip << " scale " << c.scale);
        const int sbpp = c.format == -1 ? 1 : c.format == 254 ? 3 : 4;
        const int header = c.format == -1 ? 12 : 4;
        std::vector<std::uint8_t> entry(static_cast<std::size_t>(header + c.width * c.height * sbpp));
        for (std::size_t i = static_cast<std::size_t>(header); i < entry.size(); ++i)
            entry[i] = static_cast<std::uint8_t>(c.format == -1 ? rng() % kPalette.size() : rng() & 0xFF);
        if (c.format == -1) {
            const auto sums = SpriteSheet::indexedChecksums(std::span(entry).subspan(12), c.width, c.height);
            std::copy(sums.begin(), sums.end(), entry.begin() + 4);
        }
        const auto png = SpriteSheet::buildPng(kPalette, entry, c.width, c.height, c.format, header, c.flip, c.scale);
        const platform::Picture pic = TarvokinEmu::PNGReader::decode(png);
        ASSERT_EQ(pic.width, c.width * c.scale);
        ASSERT_EQ(pic.height, c.height * c.scale);
        for (int y = 0; y < pic.height; ++y)
            for (int x = 0; x < pic.width; ++x) {
                const int sx = (c.flip & 1) ? c.width - 1 - x / c.scale : x / c.scale;
                const int sy = (c.flip & 2) ? c.height - 1 - y / c.scale : y / c.scale;
                const std::uint8_t* p = entry.data() + header + (sy * c.width + sx) * sbpp;
                std::uint32_t want;
                if (c.format == -1) want = p[0] == 0 ? 0 : argbOf(kPalette[p[0]]);
                else want = (std::uint32_t{c.format == 255 ? p[3] : 0xFFu} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
                ASSERT_EQ(pic.pixels[static_cast<std::size_t>(y) * pic.width + x] & (want >> 24 ? 0xFFFFFFFFu : 0xFF000000u), want) << x << "," << y;
            }
    }
}

// The checksums are right by an independent implementation, and the
// stored ones are copied only in the case they were made for.
TEST(SpriteSheetBuildPng, ChecksumsAgreeWithZlibAndStoredOnesAreCopied) {
    std::vector<std::uint8_t> pixels(13 * 9);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i % 5);
    const auto entry = SpriteSheet::makeIndexedEntry(pixels, 13, 9);
    for (int flip : {0, 1}) {
        for (int scale : {1, 2}) {
            const auto png = SpriteSheet::buildPng(kPalette, entry, 13, 9, -1, 12, flip, scale);
            const Idat idat = findIdat(png);
            const uLong crc = ::crc32(::crc32(0, nullptr, 0), png.data() + idat.at + 4, static_cast<uInt>(idat.data.size() + 4));
            EXPECT_EQ(be32(png, idat.at + 8 + idat.data.size()), crc);
            std::vector<std::uint8_t> raw(static_cast<std::size_t>(9 * scale * (1 + 13 * scale)));
            uLongf rawLen = static_cast<uLongf>(raw.size());
            ASSERT_EQ(uncompress(raw.data(), &rawLen, idat.data.data(), static_cast<uLong>(idat.data.size())), Z_OK);
            EXPECT_EQ(rawLen, raw.size());
            if (flip == 0 && scale == 1) {
                EXPECT_TRUE(std::equal(entry.begin() + 4, entry.begin() + 8, idat.data.end() - 4));
                EXPECT_EQ(be32(png, idat.at + 8 + idat.data.size()), be32(entry, 8));
            }
        }
    }
    // Wrong stored values are copied as they are: the entry is trusted.
    auto bad = entry;
    bad[8] ^= 0xFF;
    const auto png = SpriteSheet::buildPng(kPalette, bad, 13, 9, -1, 12, 0, 1);
    const Idat idat = findIdat(png);
    EXPECT_EQ(be32(png, idat.at + 8 + idat.data.size()), be32(bad, 8));
    // Built from the bare pixels (nothing stored to copy) the file is the
    // same as from the entry with correct stored checksums.
    EXPECT_EQ(SpriteSheet::buildPng(kPalette, pixels, 13, 9, -1, 0, 0, 1), SpriteSheet::buildPng(kPalette, entry, 13, 9, -1, 12, 0, 1));
}

// Stored blocks hold whole rows; rows longer than a block are split.
TEST(SpriteSheetBuildPng, BlocksHoldWholeRows) {
    struct Layout {
        int format, width, height;
        std::vector<int> blocks;
    };
    const Layout layouts[] = {
        {-1, 100, 648, {65448}},
        {-1, 100, 649, {65448, 101}},
        {-1, 1, 1, {2}},
        {255, 16384, 1, {65531, 6}},  // a 65537-byte row spans two blocks
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(testing::Message() << l.width << "x" << l.height);
        const int sbpp = l.format == -1 ? 1 : 4;
        const int header = l.format == -1 ? 0 : 4;
        std::vector<std::uint8_t> entry(static_cast<std::size_t>(header + l.width * l.height * sbpp), 1);
        const auto png = SpriteSheet::buildPng(kPalette, entry, l.width, l.height, l.format, header, 0, 1);
        EXPECT_EQ(storedBlocks(findIdat(png).data), l.blocks);
        EXPECT_NO_THROW(TarvokinEmu::PNGReader::decode(png));
    }
}

TEST(SpriteSheetBuildPng, RejectsWhatItCannotBuild) {
    const std::vector<std::uint8_t> entry(12 + 4, 1);
    using java::lang::ArrayIndexOutOfBoundsException;
    using java::lang::IllegalArgumentException;
    EXPECT_THROW(SpriteSheet::buildPng(kPalette, entry, 3, 2, -1, 12, 0, 1), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(SpriteSheet::buildPng(kPalette, entry, 1, 2, 254, 12, 0, 1), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(SpriteSheet::buildPng(kPalette, entry, 0, 2, -1, 12, 0, 1), IllegalArgumentException);
    EXPECT_THROW(SpriteSheet::buildPng(kPalette, entry, -2, 2, -1, 12, 0, 1), IllegalArgumentException);
    EXPECT_THROW(SpriteSheet::buildPng(kPalette, entry, 2, 2, -1, 12, 0, 0), IllegalArgumentException);
    EXPECT_THROW(SpriteSheet::buildPng(kPalette, entry, 2, 2, -1, 12, 0, 9), IllegalArgumentException);
    EXPECT_THROW(SpriteSheet::buildPng(kPalette, entry, 2, 2, -1, 12, 4, 1), IllegalArgumentException);
    EXPECT_THROW(SpriteSheet::buildPng(kPalette, entry, 2, 2, 7, 12, 0, 1), IllegalArgumentException);
    EXPECT_THROW(SpriteSheet::buildPng(kPalette, entry, 32767, 32767, -1, 0, 0, 8), IllegalArgumentException);
    EXPECT_THROW(SpriteSheet::rawWidth(std::vector<std::uint8_t>(3)), ArrayIndexOutOfBoundsException);
}

TEST(SpriteSheetPalettes, TableAndEntries) {
    const std::vector<std::int32_t> ids = {0x60044, 0x60045};
    const auto table = SpriteSheet::makePaletteTable(ids);
    EXPECT_EQ(SpriteSheet::paletteTableIds(table), ids);
    auto shortTable = table;
    shortTable.pop_back();
    EXPECT_THROW(SpriteSheet::paletteTableIds(shortTable), java::io::EOFException);
    const std::vector<std::uint8_t> pal = {0xFF, 0x80, 0x00, 0x01, 0x02, 0x03, 0x09};
    EXPECT_EQ(SpriteSheet::paletteFromEntry(pal), (std::vector<std::int32_t>{static_cast<std::int32_t>(0xFF8000FFu), 0x010203FF}));
}

}  // namespace
}  // namespace game
