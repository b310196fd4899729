#include "game/format/GameFontData.h"

#include <gtest/gtest.h>

#include "java/lang/Exceptions.h"

namespace game::format {
namespace {

TEST(GameFontData, RunsFollowConsecutiveCodes) {
    GameFont f;
    f.spacing = -2;
    f.ascent = 12;
    f.descent = 4;
    // Glyph index order, highest code first (the writer emits from n - 1 down).
    for (int code : std::initializer_list<int>{0x2026, 'c', 'b', 'a', ' '}) f.glyphs.push_back({code, code & 0xFF, 300, 7, 16, 12});
    const auto bytes = GameFontData::encode(f);
    // n, spacing, ascent, descent, then a run of two (space is not next to 'a').
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8), (std::vector<std::uint8_t>{0, 5, 0xFE, 12, 4, 1, 0, 32}));
    EXPECT_EQ(GameFontData::decode(bytes), f);
    EXPECT_EQ(bytes.size(), 5u + 3 * 3 + 5 * 6);
}

TEST(GameFontData, FirstRecordReadIsTheLastGlyph) {
    const std::vector<std::uint8_t> bytes = {0, 2, 1, 9, 3,  2, 0, 'x',  10, 0, 20, 5, 9, 8,  11, 0, 21, 6, 9, 8};
    const GameFont f = GameFontData::decode(bytes);
    ASSERT_EQ(f.glyphs.size(), 2u);
    EXPECT_EQ(f.glyphs[1], (GameGlyph{'x', 10, 20, 5, 9, 8}));
    EXPECT_EQ(f.glyphs[0], (GameGlyph{'y', 11, 21, 6, 9, 8}));
}

TEST(GameFontData, BadRunsAreRefused) {
    // A zero-length run reads only its header.
    EXPECT_EQ(GameFontData::decode(std::vector<std::uint8_t>{0, 1, 0, 0, 0, 0, 0, 'a', 1, 0, 'a', 1, 0, 1, 1, 1, 1}).glyphs.size(), 1u);
    // A run longer than the glyphs left would write below index 0.
    EXPECT_THROW(GameFontData::decode(std::vector<std::uint8_t>{0, 1, 0, 0, 0, 2, 0, 'a', 1, 0, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1}), java::lang::IllegalArgumentException);
    EXPECT_THROW(GameFontData::decode(std::vector<std::uint8_t>{0, 3, 0, 0, 0, 3, 0, 'a', 1, 0, 1}), java::io::EOFException);
    EXPECT_THROW(GameFontData::decode(std::vector<std::uint8_t>{0x80, 0, 0, 0, 0}), java::lang::IllegalArgumentException);
}

}  // namespace
}  // namespace game::format
