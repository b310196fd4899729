// The panel window, the loading reveal and the pop-up band.
#include <gtest/gtest.h>

#include "GameTestSupport.h"
#include "game/Brindle.h"
#include "game/SpriteSheet.h"
#include "game/format/AnimationData.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/Popup.h"
#include "game/ui/TextPanel.h"
#include "game/world/GameWorld.h"

namespace {

using game::PanelWindow;
using game::Popup;
using game::TextPanel;
using game::world::GameWorld;
using javax::microedition::lcdui::Image;

// Eight 16 x 16 frame pieces, piece f filled with colour 0x100 + f.
game::SpriteSheet frameSprite() {
    game::format::Animation a;
    a.extentX = a.extentY = 16;
    for (int f = 0; f < 8; ++f) {
        game::format::AnimFrame frame;
        frame.duration = 1000;
        frame.boxes.push_back({0, 0, 0, 16, 16});
        game::format::AnimElement e;
        e.type = game::format::AnimElement::FillRect;
        e.setRgb(0x100 + f);
        e.coords = {0, 0, 16, 16, 0, 0};
        frame.elements.push_back(e);
        a.frames.push_back(frame);
    }
    game::SpriteSheet s;
    s.create(game::SpriteSheet::decodeAnimation(game::format::AnimationData::encode(a), 1,
                                                [](std::int32_t, int, int, int) { return 0; }),
             false);
    return s;
}

class PanelWindowTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        GameWorld::resetClassState();
        game::Brindle::resetClassState();
        Popup::resetClassState();
        TextPanel::resetClassState();
        font_ = gametest::testFont();
        game::Brindle::shared().fonts[1] = font_;
        TextPanel::setDefaultFonts(font_, font_, font_);
        GameWorld::state().frame = frameSprite();
    }
    void TearDown() override {
        GameWorld::resetClassState();
        game::Brindle::resetClassState();
        Popup::resetClassState();
        TextPanel::resetClassState();
        GameTest::TearDown();
    }
    int pixel(int x, int y) {
        std::vector<std::int32_t> p(1);
        screen_->getRGB(p, 0, 1, x, y, 1, 1);
        return p[0] & 0xFFFFFF;
    }
    std::shared_ptr<game::BitmapFont> font_;
    std::shared_ptr<Image> screen_ = Image::createImage(800, 600, 0x123456);
    std::shared_ptr<javax::microedition::lcdui::Graphics> graphics_ = screen_->getGraphics();
    javax::microedition::lcdui::Graphics& g_ = *graphics_;
};

TEST_F(PanelWindowTest, WindowGrowsFromTheCentreThenStandsAtThePanel) {
    TextPanel p;
    p.setup(TextPanel::MODE_TEXT, 1, 0);
    p.setBounds(5, 150, 790, 400);
    const int inner = p.height() - 150;
    struct Case {
        int t;
        PanelWindow::Rect r;
    };
    for (const Case& c : {Case{0, {400, 327, 0, 0}},
                          Case{256, {400 - 395 / 2, 300 - (inner / 2) / 2 + 27, 395, inner / 2}},
                          Case{512, {400 - 790 / 2, 300 - inner / 2 + 27, 790, inner}},
                          Case{513, {5, 250, 790, inner}}, Case{90000, {5, 250, 790, inner}}})
        EXPECT_EQ(PanelWindow::windowRect(p, c.t), c.r) << c.t;
    // Drawing does not move the window: the panel keeps its origin.
    PanelWindow::drawPanelWindow(g_, p, 600, false);
    PanelWindow::drawPanelWindow(g_, p, 600, false);
    EXPECT_EQ(PanelWindow::windowRect(p, 600), (PanelWindow::Rect{5, 250, 790, inner}));
}

TEST_F(PanelWindowTest, FramePiecesSitAtCornersAndEdgesAroundTheInside) {
    PanelWindow::drawWindow(g_, {100, 100, 200, 120}, false);
    struct Probe {
        int x, y, colour;
    };
    for (const Probe& p : {Probe{100, 100, 0x107}, Probe{299, 100, 0x101}, Probe{299, 219, 0x103},
                           Probe{100, 219, 0x105}, Probe{200, 100, 0x100}, Probe{200, 219, 0x104},
                           Probe{100, 160, 0x106}, Probe{299, 160, 0x102},
                           Probe{200, 160, PanelWindow::kInsideColour}, Probe{99, 160, 0x123456},
                           Probe{300, 160, 0x123456}, Probe{200, 220, 0x123456}})
        EXPECT_EQ(pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
    // A window smaller than its pieces stays inside its rectangle.
    PanelWindow::drawWindow(g_, {500, 400, 10, 6}, true);
    EXPECT_EQ(pixel(510, 403), 0x123456);
    EXPECT_EQ(pixel(505, 406), 0x123456);
    EXPECT_NE(pixel(505, 403), 0x123456);
}

TEST_F(PanelWindowTest, LoadingColourRecedesWithProgress) {
    auto covered = [&](int progress, int style) {
        g_.setColor(0);
        g_.fillRect(0, 0, 800, 600);
        PanelWindow::revealLoading(g_, progress, style);
        std::vector<std::int32_t> px(800 * 600);
        screen_->getRGB(px, 0, 800, 0, 0, 800, 600);
        return std::count_if(px.begin(), px.end(),
                             [](std::int32_t c) { return (c & 0xFFFFFF) == PanelWindow::kLoadingColour; });
    };
    for (int style : {1, 2, 3, 4, 7}) {
        EXPECT_EQ(covered(0, style), 800 * 600) << style;
        long last = 800 * 600;
        for (int progress : {64, 128, 200, 300}) {
            const long now = covered(progress, style);
            EXPECT_LT(now, last) << style << " " << progress;
            last = now;
        }
        EXPECT_EQ(last, 0) << style;
    }
    // Style 3 recedes downwards: the top row goes first.
    covered(128, 3);
    EXPECT_NE(pixel(400, 0), PanelWindow::kLoadingColour);
    EXPECT_EQ(pixel(400, 599), PanelWindow::kLoadingColour);
}

TEST_F(PanelWindowTest, PopupSlidesInStaysAndLeaves) {
    Popup::show("Hello");
    EXPECT_FALSE(Popup::visible());
    Popup::open();
    Popup::update(512);
    EXPECT_EQ(Popup::offset(), 400);
    Popup::update(508);
    EXPECT_EQ(Popup::state().phase, Popup::OPENING);
    Popup::update(1);
    EXPECT_EQ(Popup::state().phase, Popup::SHOWN);
    EXPECT_EQ(Popup::offset(), 0);

    Popup::draw(g_);
    const int top = Popup::bandTop();
    EXPECT_EQ(top, 600 - game::MainCanvas::state().softkeyBarHeight - (font_->height() + 22));
    EXPECT_EQ(pixel(5, top), 0x100) << "top edge piece";
    EXPECT_EQ(pixel(5, top + Popup::state().extra - 1), 0x104) << "bottom edge piece";
    EXPECT_EQ(pixel(5, top + Popup::state().extra / 2), Popup::kBandColour);
    EXPECT_EQ(pixel(5, top - 1), 0x123456);

    // Shown, it goes at the next update; while opening it slides back out.
    Popup::close();
    Popup::update(20);
    EXPECT_FALSE(Popup::visible());
    Popup::open();
    Popup::update(800);
    Popup::close();
    Popup::update(400);
    EXPECT_EQ(Popup::state().phase, Popup::CLOSING);
    EXPECT_EQ(Popup::offset(), 100 * 800 / 256 - 800);
    Popup::update(401);
    EXPECT_FALSE(Popup::visible());
    g_.setColor(0x123456);
    g_.fillRect(0, 0, 800, 600);
    Popup::draw(g_);
    EXPECT_EQ(pixel(5, top + Popup::state().extra / 2), 0x123456) << "hidden draws nothing";
}

}  // namespace
