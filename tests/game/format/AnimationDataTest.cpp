#include "game/format/AnimationData.h"

#include <gtest/gtest.h>

#include "java/lang/Exceptions.h"

namespace game::format {
namespace {

Animation sample(int scaleUp) {
    Animation a;
    a.refX = 10 * scaleUp;
    a.refY = -4;
    a.extentX = 40 * scaleUp;
    a.extentY = 30;
    AnimFrame f0;
    f0.duration = 120;
    f0.boxes = {{3, 1, -2, 20 * scaleUp, 8}};
    AnimElement img;
    img.type = AnimElement::Image;
    img.imageId = 0x300CC;
    img.palette = 2;
    img.flip = 3;
    img.scale = 4;
    img.dx = -3;
    img.dy = 5 * scaleUp;
    AnimElement fill;
    fill.type = AnimElement::FillRect;
    fill.setRgb(0xFF9F45);
    fill.coords = {0, 1, 30, 2 * scaleUp, 0, 0};
    AnimElement line;
    line.type = AnimElement::Line;
    line.setRgb(0x1B1B2F);
    line.coords = {-5, 6, 7, -8, 0, 0};
    AnimElement ell;
    ell.type = AnimElement::Ellipse;
    ell.setRgb(0x00FF00);
    ell.coords = {4, 4, 3, 3, 0, 0};
    f0.elements = {img, fill, line, ell};
    AnimFrame f1;
    f1.ref = 0;
    f1.duration = 80;
    AnimFrame f2;
    f2.duration = 50;
    a.frames = {f0, f1, f2};
    return a;
}

TEST(AnimationData, RoundTripsAndPicksTheForm) {
    struct Case {
        Animation a;
        bool compact, timed;
    };
    Animation single;
    single.extentX = single.extentY = 1;
    single.frames = {AnimFrame{}};
    Animation singleTimed = single;
    singleTimed.frames[0].duration = 500;
    const Case cases[] = {{sample(1), true, true}, {sample(20), false, true}, {single, true, false}, {singleTimed, true, true}};
    for (const Case& c : cases) {
        const auto bytes = AnimationData::encode(c.a);
        EXPECT_EQ((bytes[0] & 0x80) != 0, c.compact);
        EXPECT_EQ((bytes[0] & 0x40) != 0, c.timed);
        EXPECT_EQ(((bytes[0] << 8) | bytes[1]) & 0x3FFF, AnimationData::decodedLength(c.a));
        Animation back = AnimationData::parse(bytes);
        EXPECT_EQ(back.compact, c.compact);
        EXPECT_EQ(back.timed, c.timed);
        back.compact = c.a.compact;
        back.timed = c.a.timed;
        EXPECT_EQ(back, c.a);
    }
}

// The in-memory form, worked out by hand for a compact timed animation.
TEST(AnimationData, DecodesToTheGamesShortArray) {
    const std::vector<std::uint8_t> entry = {
        0xC0, 28,          // compact, timed, N = 28
        3,                 // frames
        2, 0xFE, 9, 10,    // ref (2, -2), extent 9 x 10
        0xFF, 0, 100,      // frame 0: own data, 100 ms
        2, 1,              //   2 elements, 1 box
        7, 0xFF, 1, 4, 5,  //   box kind 7 at (-1, 1) 4 x 5
        0xD8, 0, 3, 0, 0x0C, 4, 0xFD, 6,  // image 0x3000C palette 4 at (-3, 6), flip 3, scale 4
        0x01, 0x80, 0x12, 0x34, 1, 2, 3, 4,  // fill: red -128, green-blue 0x1234, (1, 2) 3 x 4
        0x00, 0, 50,       // frame 1: same as frame 0, 50 ms
        0xFF, 0, 70,       // frame 2: own data, 70 ms
        0, 0,              //   nothing
    };
    std::vector<std::tuple<std::int32_t, int, int, int>> asked;
    const std::vector<std::int16_t> want = {2, -2, 9, 10, 3, 0,
                                            12, 100, static_cast<std::int16_t>(12 | 0x8000), 50, 30, 70,
                                            1, 7, -1, 1, 4, 5, 2, 0, -3, 6, 17, 1, -128, 0x1234, 1, 2, 3, 4,
                                            0, 0};
    // N in the header is 28 but the data need 32: the decoder must refuse
    // rather than write past the array.
    EXPECT_THROW(AnimationData::decode(entry, [](std::int32_t, int, int, int) { return 0; }), java::lang::ArrayIndexOutOfBoundsException);
    auto fixed = entry;
    fixed[1] = 32;
    asked.clear();
    const auto got = AnimationData::decode(fixed, [&](std::int32_t id, int key, int flip, int scale) {
        asked.emplace_back(id, key, flip, scale);
        return 17;
    });
    EXPECT_EQ(got, want);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_tuple(0x3000C, (3 << 13) | (3 << 11) | 4, 3, 4));
    EXPECT_EQ(AnimationData::decodedLength(AnimationData::parse(fixed)), 32);
}

TEST(AnimationData, MalformedEntriesThrowIndexErrors) {
    const auto good = AnimationData::encode(sample(1));
    auto forward = AnimationData::encode(sample(1));
    // Frame 1's ref byte follows frame 0's data; point it at frame 2.
    const Animation parsed = AnimationData::parse(good);
    (void)parsed;
    std::size_t refAt = good.size() - 3 /* frame 2: ref, duration */ - 2 /* counts */ - 3 /* frame 1 */;
    ASSERT_EQ(forward[refAt], 0);
    forward[refAt] = 2;
    auto self = good;
    self[refAt] = 1;
    const std::vector<std::vector<std::uint8_t>> bad = {
        {}, {0xC0}, std::vector<std::uint8_t>(good.begin(), good.end() - 1), forward, self, {0xC0, 10, 0x80},
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_THROW(AnimationData::decode(bad[i], [](std::int32_t, int, int, int) { return 0; }), java::lang::ArrayIndexOutOfBoundsException);
        EXPECT_THROW(AnimationData::parse(bad[i]), java::lang::ArrayIndexOutOfBoundsException);
    }
    // Every prefix of a good entry fails cleanly.
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_THROW(AnimationData::decode(std::span(good).first(n), [](std::int32_t, int, int, int) { return 0; }), java::lang::ArrayIndexOutOfBoundsException);
}

TEST(AnimationData, EncoderRefusesWhatTheGameCannotPlay) {
    auto zero = sample(1);
    zero.frames[2].duration = 0;
    auto forward = sample(1);
    forward.frames[1].ref = 2;
    auto chained = sample(1);
    chained.frames.push_back(AnimFrame{1, 10, {}, {}});
    auto many = sample(1);
    many.frames.resize(128, many.frames[2]);
    auto badScale = sample(1);
    badScale.frames[0].elements[0].scale = 9;
    for (const Animation* a : {&zero, &forward, &chained, &many, &badScale})
        EXPECT_THROW(AnimationData::encode(*a), java::lang::IllegalArgumentException);
}

}  // namespace
}  // namespace game::format
