#include "com/nokia/mid/ui/DirectGraphicsImpl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "TarvokinEmu/SharedState.h"
#include "com/nokia/mid/ui/DeviceControl.h"
#include "com/nokia/mid/ui/DirectUtils.h"
#include "com/nokia/mid/ui/FullCanvas.h"
#include "com/qorvi/tkemu/graphics/ImageConverter.h"
#include "com/siemens/mp/color_game/GameCanvas.h"
#include "com/tkemuapi/Util.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/LcduiTestSupport.h"

namespace {

using com::nokia::mid::ui::DirectGraphics;
using com::nokia::mid::ui::DirectUtils;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using Pixels = std::vector<std::uint32_t>;

constexpr std::uint32_t W = 0xFFFFFFFFu, R = 0xFFFF0000u;
constexpr std::uint32_t P1 = 0xFF000001u, P2 = 0xFF000002u, P3 = 0xFF000003u, P4 = 0xFF000004u;

class DirectGraphicsTest : public lcdui_test::TracedTest {
protected:
    void canvas(int w, int h) {
        image_ = Image::createImage(w, h);
        g_ = image_->getGraphics();
        dg_ = DirectUtils::getDirectGraphics(g_);
        lines();
    }
    Pixels pixels() const {
        std::vector<std::int32_t> p(static_cast<std::size_t>(image_->getWidth()) * image_->getHeight());
        image_->getRGB(p, 0, image_->getWidth(), 0, 0, image_->getWidth(), image_->getHeight());
        return Pixels(p.begin(), p.end());
    }
    static std::shared_ptr<Image> quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        const std::vector<std::int32_t> px = {std::int32_t(a), std::int32_t(b), std::int32_t(c), std::int32_t(d)};
        return Image::createRGBImage(px, 2, 2, true);
    }

    std::shared_ptr<Image> image_;
    std::shared_ptr<Graphics> g_;
    std::shared_ptr<DirectGraphics> dg_;
};

// The anchor never moves the image; flips mirror it; rotations are not
// supported and show a red box under the unrotated image.
TEST_F(DirectGraphicsTest, DrawImageManipulations) {
    struct Case {
        int manipulation;
        Pixels quadrant;  // the 2 x 2 box at (1, 1)
    } cases[] = {
        {0, {P1, P2, P3, P4}},
        {DirectGraphics::FLIP_HORIZONTAL, {P2, P1, P4, P3}},
        {DirectGraphics::FLIP_VERTICAL, {P3, P4, P1, P2}},
        {DirectGraphics::ROTATE_180, {P4, P3, P2, P1}},
        {DirectGraphics::FLIP_HORIZONTAL | DirectGraphics::FLIP_VERTICAL, {P4, P3, P2, P1}},
        {DirectGraphics::ROTATE_90 | DirectGraphics::FLIP_HORIZONTAL, {P1, P2, P3, P4}},
        {DirectGraphics::ROTATE_90, {P1, R, P3, P4}},
        {DirectGraphics::ROTATE_270, {P1, R, P3, P4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.manipulation);
        canvas(4, 4);
        const bool rotating = c.manipulation == DirectGraphics::ROTATE_90 || c.manipulation == DirectGraphics::ROTATE_270;
        dg_->drawImage(quad(P1, rotating ? 0x00000000u : P2, P3, P4), 1, 1, Graphics::HCENTER | Graphics::VCENTER,
                       c.manipulation);
        const Pixels p = pixels();
        EXPECT_EQ((Pixels{p[5], p[6], p[9], p[10]}), c.quadrant);
        EXPECT_EQ(p[0], W);
        EXPECT_EQ(p[15], W);
    }
    // After a rotation the surface stays red while the context reports its
    // own colour.
    g_->setColor(0x00FF00);
    auto source = quad(P1, P2, P3, P4);
    lines();
    dg_->drawImage(source, 0, 0, 0, DirectGraphics::ROTATE_90);
    EXPECT_EQ(lines(), std::vector<std::string>{"[EMU DirectGraphics - drawImage(ROTATE_90)]"});
    g_->fillRect(3, 3, 1, 1);
    EXPECT_EQ(pixels()[15], R);
    EXPECT_EQ(g_->getColor(), 0x00FF00);
}

TEST_F(DirectGraphicsTest, AlphaColourAndBlendedShapes) {
    canvas(8, 8);
    EXPECT_EQ(dg_->getAlphaComponent(), 255);
    dg_->setARGBColor(static_cast<int>(0x80123456));
    EXPECT_EQ(dg_->getAlphaComponent(), 128);
    EXPECT_EQ(g_->getColor(), 0xFFFFFF);
    g_->setColor(0x000000);
    EXPECT_EQ(dg_->getAlphaComponent(), 255);

    // Half-transparent black over white: every covered pixel is blended once,
    // corners included.
    const std::vector<int> xs = {9, 1, 6, 6}, ys = {9, 1, 1, 6};
    dg_->drawPolygon(xs, 1, ys, 1, 3, static_cast<int>(0x80000000));
    Pixels p = pixels();
    const std::uint32_t grey = p[1 * 8 + 1];
    EXPECT_NE(grey, W);
    EXPECT_EQ(grey >> 24, 0xFFu);
    for (auto [x, y] : {std::pair{6, 1}, {6, 6}, {3, 1}, {6, 3}, {3, 3}}) EXPECT_EQ(p[y * 8 + x], grey) << x << "," << y;
    EXPECT_EQ(p[2 * 8 + 4], W) << "outline only";

    canvas(8, 8);
    dg_->fillTriangle(0, 0, 8, 0, 0, 8, static_cast<int>(0x80000000));
    p = pixels();
    EXPECT_EQ(p[0], grey);
    EXPECT_EQ(p[7 * 8 + 7], W);
}

// The surface colour keeps setARGBColor's alpha: the context's own fills
// blend with it, and every DirectGraphics on the context reports it until
// setColor makes the colour opaque. Polygon calls leave the surface colour
// as they found it, or at their own colour when their arrays are short.
TEST_F(DirectGraphicsTest, ARGBColourKeepsItsAlphaOnTheContext) {
    canvas(2, 1);
    dg_->fillPolygon({0, 1, 1, 0}, 0, {0, 0, 1, 1}, 0, 4, static_cast<int>(0x80000000));
    const std::uint32_t grey = pixels()[0];
    ASSERT_NE(grey, W);
    dg_->setARGBColor(static_cast<int>(0x80000000));
    g_->fillRect(1, 0, 1, 1);
    EXPECT_EQ(pixels()[1], grey) << "a translucent surface colour blends";
    EXPECT_EQ(DirectUtils::getDirectGraphics(g_)->getAlphaComponent(), 128);

    dg_->drawTriangle(0, 0, 1, 0, 1, 0, static_cast<int>(0xFF00FF00));
    EXPECT_EQ(dg_->getAlphaComponent(), 128);
    EXPECT_THROW(dg_->fillPolygon({0}, 0, {0}, 0, 3, static_cast<int>(0x40FFFFFF)),
                 java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_EQ(dg_->getAlphaComponent(), 0x40);
    g_->setColor(0x123456);
    EXPECT_EQ(DirectUtils::getDirectGraphics(g_)->getAlphaComponent(), 255);
}

// Outlines cost what lies inside the clip, however far their corners are,
// and set the pixels Graphics.drawLine sets for each edge.
TEST_F(DirectGraphicsTest, OutlinesAreClippedAndFollowTheLineRule) {
    canvas(4, 1);
    const auto begin = std::chrono::steady_clock::now();
    dg_->drawPolygon({-10000000, 10000000, 0}, 0, {0, 0, 10000000}, 0, 3, static_cast<int>(0xFF000000));
    dg_->drawTriangle(-10000000, -10000000, 10000000, 1, -10000000, 10000000, static_cast<int>(0x80000000));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
    EXPECT_EQ(pixels(), Pixels(4, 0xFF000000u)) << "the first edge runs along the row";

    const std::vector<int> xs = {-1000, 2000, 7}, ys = {3, 9, -500};
    canvas(16, 16);
    dg_->drawPolygon(xs, 0, ys, 0, 3, static_cast<int>(0xFF000000));
    const Pixels outlined = pixels();
    canvas(16, 16);
    g_->setColor(0);
    for (int i = 0; i < 3; ++i) g_->drawLine(xs[i], ys[i], xs[(i + 1) % 3], ys[(i + 1) % 3]);
    EXPECT_EQ(outlined, pixels());
}

TEST_F(DirectGraphicsTest, ShortCoordinateArraysThrowAndDrawNothing) {
    canvas(4, 4);
    const std::vector<int> xs = {0, 3, 3}, ys = {0, 0, 3};
    EXPECT_THROW(dg_->fillPolygon(xs, 1, ys, 0, 3, static_cast<int>(0xFF000000)),
                 java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(dg_->drawPolygon(xs, 0, ys, -1, 3, static_cast<int>(0xFF000000)),
                 java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_EQ(pixels(), Pixels(16, W));
    dg_->fillPolygon(xs, 0, ys, 0, 0, static_cast<int>(0xFF000000));
    EXPECT_EQ(pixels(), Pixels(16, W));
}

TEST_F(DirectGraphicsTest, UnsupportedOperationsOnlyTrace) {
    canvas(2, 2);
    EXPECT_EQ(DirectUtils::createImage(std::vector<std::int8_t>{1, 2, 3}, 0, 3), nullptr);
    EXPECT_NE(DirectUtils::getDirectGraphics(g_), dg_);
    EXPECT_EQ(dg_->getNativePixelFormat(), 0);
    std::vector<std::int32_t> buffer = {7};
    dg_->drawPixels(buffer, false, 0, 1, 0, 0, 1, 1, 0, DirectGraphics::TYPE_INT_8888_ARGB);
    dg_->getPixels(buffer, 0, 1, 0, 0, 1, 1, DirectGraphics::TYPE_INT_8888_ARGB);
    EXPECT_EQ(buffer, std::vector<std::int32_t>{7});
    EXPECT_EQ(lines(), (std::vector<std::string>{"[EMU DirectUtils - createImage A]",
                                                 "[EMU DirectGraphics - getNativePixelFormat]",
                                                 "[EMU DirectGraphics - drawPixels]", "[EMU DirectGraphics - getPixels]"}));
    auto made = DirectUtils::createImage(3, 2, static_cast<int>(0x11223344));
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->isMutable());
    com::nokia::mid::ui::DeviceControl::startVibra(10, 100);
}

struct Full : com::nokia::mid::ui::FullCanvas {
    void paint(Graphics&) override {}
};
struct Siemens : com::siemens::mp::color_game::GameCanvas {
    Siemens() : GameCanvas(true) {}
};

TEST_F(DirectGraphicsTest, CanvasesAndConverters) {
    Full full;
    // Refused also through the base class a game holds its canvas by.
    javax::microedition::lcdui::Canvas& asCanvas = full;
    EXPECT_THROW(asCanvas.addCommand(nullptr), java::lang::IllegalStateException);
    EXPECT_THROW(asCanvas.setCommandListener(nullptr), java::lang::IllegalStateException);
    Siemens siemens;
    EXPECT_EQ(siemens.getGraphics(), TarvokinEmu::shared().screenGraphics);
    EXPECT_EQ(siemens.getKeyStates(), 0);
    const auto opened = lines();
    EXPECT_NE(std::find(opened.begin(), opened.end(), "[EMU class Opened: com.nokia.mid.ui.FullCanvas]"), opened.end());
    EXPECT_NE(std::find(opened.begin(), opened.end(), "[EMU class Opened: com.siemens.mp.color_game.GameCanvas]"),
              opened.end());

    auto picture = com::qorvi::tkemu::graphics::ImageConverter::convert(quad(P1, 0x12345678u, P3, P4).get());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 2);
    EXPECT_EQ(picture->pixels, (Pixels{P1, 0x12345678u, P3, P4}));

    TarvokinEmu::shared().fullScreen = false;
    EXPECT_FALSE(com::tkemuapi::Util::isFullScreen());
    TarvokinEmu::shared().fullScreen = true;
    EXPECT_TRUE(com::tkemuapi::Util::isFullScreen());
}

}  // namespace
