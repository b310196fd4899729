#include "javax/microedition/lcdui/Graphics.h"

#include <gtest/gtest.h>

#include <climits>

#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Font.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/LcduiTestSupport.h"

namespace {

using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using Lines = std::vector<std::string>;
using Pixels = std::vector<std::int32_t>;

constexpr std::int32_t W = static_cast<std::int32_t>(0xFFFFFFFF);  // white
constexpr std::int32_t K = static_cast<std::int32_t>(0xFF000000);  // black
constexpr std::int32_t R = static_cast<std::int32_t>(0xFFFF0000);  // red
constexpr std::int32_t A = static_cast<std::int32_t>(0xFF0000AA);
constexpr std::int32_t B = static_cast<std::int32_t>(0xFF0000BB);
constexpr std::int32_t C = static_cast<std::int32_t>(0xFF0000CC);
constexpr std::int32_t D = static_cast<std::int32_t>(0xFF0000DD);

class GraphicsTest : public lcdui_test::TracedTest {
protected:
    // A white canvas and its context.
    void canvas(int w, int h) {
        image_ = Image::createImage(w, h);
        g_ = image_->getGraphics();
        lines();
    }
    Pixels pixels() const {
        Pixels p(static_cast<std::size_t>(image_->getWidth()) * image_->getHeight());
        image_->getRGB(p, 0, image_->getWidth(), 0, 0, image_->getWidth(), image_->getHeight());
        return p;
    }
    std::shared_ptr<Image> image_;
    std::shared_ptr<Graphics> g_;
};

TEST_F(GraphicsTest, AnchorsPlaceTheTopLeftCorner) {
    struct Case {
        int anchor, x, y;
    };
    const Case cases[] = {
        {0, 20, 20},
        {Graphics::TOP | Graphics::LEFT, 20, 20},
        {Graphics::HCENTER | Graphics::VCENTER, 15, 15},
        {Graphics::RIGHT | Graphics::BOTTOM, 10, 10},
        {Graphics::BASELINE | Graphics::LEFT, 20, 20},  // BASELINE hangs like TOP
        {Graphics::HCENTER | Graphics::RIGHT | Graphics::VCENTER | Graphics::BOTTOM, 15, 15},
    };
    auto sprite = Image::createImage(10, 10, 0);
    for (const Case& c : cases) {
        canvas(40, 40);
        g_->drawImage(sprite, 20, 20, c.anchor);
        const Pixels p = pixels();
        EXPECT_EQ(p[c.y * 40 + c.x], K) << c.anchor;
        EXPECT_EQ(p[(c.y + 9) * 40 + c.x + 9], K) << c.anchor;
        EXPECT_EQ(p[(c.y - 1) * 40 + c.x - 1], W) << c.anchor;
        EXPECT_EQ(p[(c.y + 10) * 40 + c.x + 10], W) << c.anchor;
    }
    // Halves truncate toward zero, also for negative sizes.
    EXPECT_EQ(Graphics::anchorOffsetX(Graphics::HCENTER, 5), -2);
    EXPECT_EQ(Graphics::anchorOffsetX(Graphics::HCENTER, -5), 2);
    EXPECT_EQ(Graphics::anchorOffsetY(Graphics::BOTTOM, 7), -7);
    EXPECT_EQ(Graphics::anchorOffsetX(Graphics::RIGHT, INT_MIN), INT_MIN);  // wraps like the handset's ints
    EXPECT_THROW(g_->drawImage(nullptr, 0, 0, 0), java::lang::NullPointerException);
    EXPECT_THROW(g_->drawRegion(nullptr, 0, 0, 1, 1, 0, 0, 0, 0), java::lang::NullPointerException);
}

TEST_F(GraphicsTest, TheRecordedColourKeepsAllBitsWhileDrawingIsOpaque) {
    canvas(2, 1);
    g_->setColor(static_cast<int>(0x80FF0000));
    EXPECT_EQ(g_->getColor(), static_cast<int>(0x80FF0000));
    EXPECT_EQ(g_->getRedComponent(), 0);
    g_->fillRect(0, 0, 1, 1);
    EXPECT_EQ(pixels(), (Pixels{R, W}));

    // Out of range: the colour is stored first, then the error is raised.
    EXPECT_THROW(g_->setColor(300, 1, -1), java::lang::IllegalArgumentException);
    EXPECT_EQ(g_->getColor(), 44 << 16 | 1 << 8 | 255);
    g_->fillRect(1, 0, 1, 1);
    EXPECT_EQ(pixels()[1], static_cast<std::int32_t>(0xFF2C01FF));
}

TEST_F(GraphicsTest, ClipRectNarrowsWithoutChangingTheRecordedClip) {
    canvas(20, 20);
    g_->setColor(0);
    g_->setClip(0, 0, 10, 10);
    g_->clipRect(5, 5, 10, 10);
    g_->fillRect(0, 0, 20, 20);
    EXPECT_EQ(g_->getClipX(), 0);
    EXPECT_EQ(g_->getClipWidth(), 10);
    const Pixels p = pixels();
    EXPECT_EQ(std::count(p.begin(), p.end(), K), 25);
    EXPECT_EQ(p[5 * 20 + 5], K);
    EXPECT_EQ(p[9 * 20 + 9], K);
    EXPECT_EQ(p[4 * 20 + 9], W);

    g_->translate(5, 5);
    g_->translate(5, 5);
    EXPECT_EQ(g_->getTranslateX(), 10);
    g_->setClip(-10, -10, 2, 2);  // relative to the translation
    g_->fillRect(-10, -10, 5, 5);
    EXPECT_EQ(pixels()[1 * 20 + 1], K);
    EXPECT_EQ(pixels()[2 * 20 + 2], W);
}

TEST_F(GraphicsTest, GetGraphicsGivesAFreshSurfaceButKeepsTheRecordedState) {
    image_ = Image::createImage(4, 4, 0);
    g_ = image_->getGraphics();
    g_->translate(5, 5);
    g_->setClip(0, 0, 1, 1);
    g_->setColor(0x123456);
    EXPECT_EQ(image_->getGraphics(), g_);
    EXPECT_EQ(g_->getTranslateX(), 5);
    EXPECT_EQ(g_->getClipWidth(), 1);
    EXPECT_EQ(g_->getColor(), 0x123456);
    // The surface itself starts over: whole picture, no translation, white.
    g_->fillRect(0, 0, 4, 4);
    EXPECT_EQ(pixels(), Pixels(16, W));
}

TEST_F(GraphicsTest, DrawRegionTransforms) {
    // A 2 x 2 source:  A B
    //                  C D
    auto src = Image::createRGBImage(Pixels{A, B, C, D}, 2, 2, true);
    struct Case {
        int transform;
        Pixels expected;  // the 2 x 2 destination
    };
    const Case cases[] = {
        {Graphics::TRANS_NONE, {A, B, C, D}},
        {Graphics::TRANS_MIRROR, {B, A, D, C}},
        {Graphics::TRANS_MIRROR_ROT180, {C, D, A, B}},
        {Graphics::TRANS_ROT180, {D, C, B, A}},
        // A quarter turn counter-clockwise.
        {Graphics::TRANS_ROT270, {B, D, A, C}},
    };
    for (const Case& c : cases) {
        canvas(2, 2);
        g_->drawRegion(src, 0, 0, 2, 2, c.transform, 0, 0, 0);
        EXPECT_EQ(pixels(), c.expected) << c.transform;
    }

    // 2 wide, 1 high turns into 1 wide, 2 high: the right pixel on top. The
    // anchor uses the unrotated size.
    canvas(3, 2);
    g_->drawRegion(src, 0, 0, 2, 1, Graphics::TRANS_ROT270, 2, 0, Graphics::HCENTER);
    EXPECT_EQ(pixels(), (Pixels{W, B, W, W, A, W}));

    // Clear pixels are skipped, the others drawn opaque.
    auto soft = Image::createRGBImage(Pixels{0x00FF0000, 0x40000011}, 2, 1, true);
    canvas(1, 2);
    g_->drawRegion(soft, 0, 0, 2, 1, Graphics::TRANS_ROT270, 0, 0, 0);
    EXPECT_EQ(pixels(), (Pixels{static_cast<std::int32_t>(0xFF000011), W}));
}

TEST_F(GraphicsTest, UnemulatedTransformsDrawFlatInARedFrameAndLeaveRed) {
    auto src = Image::createImage(3, 3, 0);
    for (const int transform : {Graphics::TRANS_ROT90, Graphics::TRANS_MIRROR_ROT90, Graphics::TRANS_MIRROR_ROT270, 42}) {
        canvas(5, 5);
        g_->setColor(0x00FF00);
        g_->drawRegion(src, 0, 0, 3, 3, transform, 1, 1, 0);
        EXPECT_EQ(lines(), Lines{"[EMU Graphics.drawRegion(transformation not emulated: " +
                                 std::to_string(transform) + ")]"});
        const Pixels p = pixels();
        EXPECT_EQ(p[1 * 5 + 1], R);
        EXPECT_EQ(p[3 * 5 + 3], R);
        EXPECT_EQ(p[2 * 5 + 2], K);  // the region inside the frame
        EXPECT_EQ(p[4 * 5 + 4], W);
        // Red until the next setColor, whatever getColor says.
        EXPECT_EQ(g_->getColor(), 0x00FF00);
        g_->fillRect(4, 4, 1, 1);
        EXPECT_EQ(pixels()[24], R);
    }
}

TEST_F(GraphicsTest, DrawRgbBlocks) {
    canvas(3, 2);
    // A 2 x 2 block out of a 3-wide array starting at index 1.
    const Pixels rgb = {0, 0x000000AA, 0x000000BB, 0, 0x7F0000CC, 0x000000DD};
    g_->drawRGB(rgb, 1, 3, 1, 0, 2, 2, false);
    EXPECT_EQ(lines(), Lines{"[EMU Image.createRGBImage(2x2)]"});
    EXPECT_EQ(pixels(), (Pixels{W, A, B, W, C, D}));
    g_->drawRGB(rgb, 1, 3, 0, 0, 2, 2, true);
    // Alpha 0 leaves white; alpha 0x7F blends.
    EXPECT_EQ(pixels()[0], W);
    EXPECT_EQ(pixels()[3], static_cast<std::int32_t>(0xFF8080E6));

    // A negative scan length walks rows backwards.
    canvas(1, 2);
    g_->drawRGB(Pixels{A, B}, 1, -1, 0, 0, 1, 2, false);
    EXPECT_EQ(pixels(), (Pixels{B, A}));

    EXPECT_THROW(g_->drawRGB(rgb, 2, 3, 0, 0, 2, 2, true), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(g_->drawRGB(rgb, -1, 3, 0, 0, 2, 1, true), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(g_->drawRGB(rgb, 0, -3, 0, 0, 1, 2, true), java::lang::ArrayIndexOutOfBoundsException);
    g_->drawRGB(rgb, 100, 3, 0, 0, 0, 5, true);  // an empty block reads nothing
}

TEST_F(GraphicsTest, ShapesAndText) {
    canvas(6, 6);
    g_->setColor(0);
    g_->drawRect(0, 0, 0, 0);
    g_->fillRect(2, 0, 0, 5);
    Pixels p = pixels();
    EXPECT_EQ(std::count(p.begin(), p.end(), K), 1);
    EXPECT_EQ(p[0], K);

    // Fonts measure nothing yet; text calls must still be safe.
    g_->drawString("ab", 0, 0, Graphics::BASELINE);
    g_->drawString(nullptr, 0, 0, 0);
    g_->setFont(nullptr);
    EXPECT_EQ(g_->getFont(), Font::getDefaultFont());
}

TEST(FontLookup, StyleAndSizePickOneOfSixFonts) {
    struct Case {
        int face, style, size, wantStyle, wantSize;
    };
    const Case cases[] = {
        {Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_MEDIUM, Font::STYLE_PLAIN, Font::SIZE_MEDIUM},
        {Font::FACE_MONOSPACE, Font::STYLE_BOLD, Font::SIZE_LARGE, Font::STYLE_BOLD, Font::SIZE_LARGE},
        {Font::FACE_SYSTEM, Font::STYLE_ITALIC, Font::SIZE_MEDIUM, Font::STYLE_PLAIN, Font::SIZE_SMALL},
        {Font::FACE_PROPORTIONAL, Font::STYLE_BOLD, Font::SIZE_SMALL, Font::STYLE_BOLD, Font::SIZE_SMALL},
    };
    for (const Case& c : cases) {
        auto f = Font::getFont(c.face, c.style, c.size);
        EXPECT_EQ(f->getStyle(), c.wantStyle);
        EXPECT_EQ(f->getSize(), c.wantSize);
        EXPECT_EQ(f, Font::getFont(c.face, c.wantStyle, c.wantSize));  // shared
    }
    EXPECT_EQ(Font::getFont(Font::FONT_INPUT_TEXT), Font::getFont(0, Font::STYLE_BOLD, Font::SIZE_MEDIUM));
    EXPECT_EQ(Font::getFont(Font::FONT_STATIC_TEXT), Font::getDefaultFont());
}

}  // namespace
