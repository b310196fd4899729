#include "game/ui/ScreenEffects.h"

#include "GameTestSupport.h"
#include "game/GameMidlet.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace {

using game::ScreenEffects;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

// Records the translation every frame is painted with.
class Painter final : public game::GameMidlet {
public:
    void resetFrameClock() override {}
    void onLifecycle(int) override {}
    void onKey(int, int) override {}
    void onPointer(int, int, int) override {}
    void tick(int) override {}
    void paintFrame(Graphics& g) override { shifts.emplace_back(g.getTranslateX(), g.getTranslateY()); }
    std::vector<std::pair<int, int>> shifts;
};

std::vector<std::int32_t> argb(std::initializer_list<std::uint32_t> values) {
    std::vector<std::int32_t> out;
    for (std::uint32_t v : values) out.push_back(static_cast<std::int32_t>(v));
    return out;
}

std::vector<std::int32_t> pixels(const std::shared_ptr<Image>& image) {
    std::vector<std::int32_t> out(static_cast<std::size_t>(image->getWidth() * image->getHeight()));
    image->getRGB(out, 0, image->getWidth(), 0, 0, image->getWidth(), image->getHeight());
    return out;
}

class Effects : public gametest::GameTest {
protected:
    std::shared_ptr<Image> picture(int w, int h, std::vector<std::int32_t> rgb) {
        return Image::createRGBImage(rgb, w, h, true);
    }
};

TEST_F(Effects, ShakeShiftsTheFirstAndEverySixthFrameOnTheClock) {
    platform::ManualClock clock(false);
    platform::Clock::install(&clock);
    auto painter = std::make_shared<Painter>();
    auto screen = Image::createImage(40, 30);
    Graphics& g = *screen->getGraphics();

    ScreenEffects::shake(5, 5, 5);  // vibration off: nothing
    EXPECT_FALSE(ScreenEffects::shaking());
    ScreenEffects::setVibration(true);
    ScreenEffects::shake(5, 150, 5);
    EXPECT_EQ(ScreenEffects::state().duration, 10000);
    ScreenEffects::shake(5, 5, 5);
    std::vector<std::pair<int, int>> offsets;
    for (int frame = 0; frame < 13; ++frame) {
        ScreenEffects::drawShaken(*painter, g);
        offsets.emplace_back(ScreenEffects::state().offsetX, ScreenEffects::state().offsetY);
        clock.advance(20);
    }
    EXPECT_EQ(painter->shifts, offsets);
    for (int frame : {1, 2, 3, 4, 5, 7, 8, 9, 10, 11}) EXPECT_EQ(offsets[frame], std::make_pair(0, 0)) << frame;
    for (int frame : {0, 6, 12}) {
        EXPECT_GE(offsets[frame].first, -5);
        EXPECT_LE(offsets[frame].first, 4);
        EXPECT_GE(offsets[frame].second, -5);
        EXPECT_LE(offsets[frame].second, 4);
    }
    EXPECT_NE(offsets[0], offsets[6]);
    EXPECT_EQ(g.getTranslateX(), 0);  // taken back after every frame
    // A restarted shake at the same time of the clock takes the same offsets.
    ScreenEffects::shake(5, 5, 5);
    ScreenEffects::drawShaken(*painter, g);
    const auto first = painter->shifts.back();
    ScreenEffects::shake(5, 5, 5);
    ScreenEffects::drawShaken(*painter, g);
    EXPECT_EQ(painter->shifts.back(), first);
    // Over after its duration.
    clock.advance(501);
    ScreenEffects::drawShaken(*painter, g);
    EXPECT_FALSE(ScreenEffects::shaking());
    EXPECT_EQ(painter->shifts.back(), std::make_pair(0, 0));
}

TEST_F(Effects, FadeValues) {
    struct Case {
        bool rising;
        int value, t, expected;
    };
    for (const Case& c : {Case{true, 255, 500, 127}, Case{false, 255, 500, 128}, Case{true, 100, 0, 0},
                          Case{true, 100, 1000, 100}, Case{false, 100, 1000, 0}, Case{true, 100, 500, 50}, Case{true, 255, 2000000, 510000}})
        EXPECT_EQ(ScreenEffects::fadeValue(c.rising, c.value, 1000, c.t), c.expected) << c.value << " " << c.t;
}

TEST_F(Effects, FadedCopiesAndTheirCache) {
    auto a = picture(2, 1, argb({0xFF102030, 0x80405060}));
    auto b = picture(2, 1, argb({0xFFA0B0C0, 0x00010203}));
    EXPECT_EQ(ScreenEffects::fadedImage(255, nullptr), nullptr);
    EXPECT_EQ(pixels(ScreenEffects::fadedImage(255, a)), pixels(a));
    auto half = ScreenEffects::fadedImage(128, a);
    EXPECT_EQ(pixels(half), argb({0x80102030, 0x40405060}));
    EXPECT_EQ(ScreenEffects::fadedImage(128, a), half);  // same source and alpha: the same copy
    // A new picture at the same alpha is a new copy of the new picture.
    EXPECT_EQ(pixels(ScreenEffects::fadedImage(128, b)), argb({0x80A0B0C0, 0x00010203}));
    EXPECT_EQ(pixels(ScreenEffects::fadedImage(0, b)), argb({0x00A0B0C0, 0x00010203}));
    EXPECT_EQ(pixels(ScreenEffects::fadedImage(900, b))[0], static_cast<std::int32_t>(0xFFA0B0C0));  // clamped
}

TEST_F(Effects, ScaledCopiesAboutTheCentre) {
    // 4 x 4 with a distinct colour per pixel.
    std::vector<std::int32_t> rgb;
    for (int i = 0; i < 16; ++i) rgb.push_back(static_cast<std::int32_t>(0xFF000000u | static_cast<std::uint32_t>(i + 1)));
    auto source = picture(4, 4, rgb);
    EXPECT_EQ(ScreenEffects::scaledImage(0, 100, source), source);
    auto small = pixels(ScreenEffects::scaledImage(0, 50, source));
    // Half size: the middle 2 x 2 holds every other source pixel, the rest is clear.
    EXPECT_EQ(small[0], 0);
    EXPECT_EQ(small[5], rgb[5]);
    EXPECT_EQ(small[6], rgb[7]);
    EXPECT_EQ(small[9], rgb[13]);
    EXPECT_EQ(small[10], rgb[15]);
    EXPECT_EQ(small[15], 0);
    auto big = pixels(ScreenEffects::scaledImage(0, 200, source));
    EXPECT_EQ(big[0], rgb[5]);  // twice the size: the middle four fill the picture
    EXPECT_EQ(big[15], rgb[10]);
    EXPECT_EQ(ScreenEffects::scaledImage(0, 200, source), ScreenEffects::scaledImage(0, 200, source));
    auto none = pixels(ScreenEffects::scaledImage(0, 0, source));
    EXPECT_EQ(std::count(none.begin(), none.end(), 0), 16);
}

TEST_F(Effects, HighlightBarRows) {
    auto target = Image::createImage(120, 40, 0x000000);
    Graphics& g = *target->getGraphics();
    ScreenEffects::highlightBar(g, 10, 5, 100, 20, 0xFF6300, 0xFFFD28, 1, 0xFF0000, false);
    auto bar = pixels(ScreenEffects::state().bar);
    auto at = [&](int x, int y) { return static_cast<std::uint32_t>(bar[static_cast<std::size_t>(y * 100 + x)]); };
    EXPECT_EQ(at(0, 0), 0xFFFF6300u);   // the first row is the edge colour
    EXPECT_EQ(at(50, 9), 0xFFFFFD28u);  // the middle rows are the centre colour
    EXPECT_EQ(at(50, 10), 0xFFFFFD28u);
    EXPECT_EQ(at(99, 19), 0xFFFF6300u);
    EXPECT_EQ(at(50, 3), 0xFFFF960Du);  // a third of the way: 0x63 + (0xFD - 0x63) * 3 / 9
    EXPECT_EQ(pixels(target)[static_cast<std::size_t>(5 * 120 + 10)], static_cast<std::int32_t>(0xFFFF6300));
    // Capped: the corners are transparent, the straight part is not.
    ScreenEffects::highlightBar(g, 0, 0, 100, 20, 0xFF6300, 0xFFFD28, 1, 0xFF0000, true);
    bar = pixels(ScreenEffects::state().bar);
    EXPECT_EQ(at(0, 0), 0u);
    EXPECT_EQ(at(99, 19), 0u);
    EXPECT_EQ(at(50, 0), 0xFFFF6300u);
    EXPECT_EQ(at(1, 10) >> 24, 0xFFu);  // the cap's rim
    // Any change of argument renders anew; equal colours give a plain block
    // in which the key colour turns transparent.
    ScreenEffects::highlightBar(g, 0, 0, 100, 20, 0xFF0000, 0xFF0000, 1, 0xFF0000, true);
    bar = pixels(ScreenEffects::state().bar);
    EXPECT_EQ(std::count(bar.begin(), bar.end(), 0), 2000);
    // Tiny, odd, flat and step-less bars are drawn or skipped without failing.
    for (int h : {1, 2, 3, 5}) {
        ScreenEffects::highlightBar(g, 0, 0, 30, h, 0xFF6300, 0x0000FF, 0, 0xFF0000, true);
        bar = pixels(ScreenEffects::state().bar);
        EXPECT_EQ(static_cast<std::uint32_t>(bar[static_cast<std::size_t>((h / 2) * 30 + 15)]), 0xFF0000FFu) << h;
    }
    ScreenEffects::highlightBar(g, 0, 0, 0, 20, 0xFF6300, 0x0000FF, 1, 0xFF0000, true);
    ScreenEffects::highlightBar(g, 0, 0, 20, -4, 0xFF6300, 0x0000FF, 1, 0xFF0000, true);
}

}  // namespace
