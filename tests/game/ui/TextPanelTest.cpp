#include "game/ui/TextPanel.h"

#include "GameTestSupport.h"
#include "game/GameMidlet.h"

namespace {

using game::GameMidlet;
using game::MainCanvas;
using game::TextPanel;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

TEST(WrapText, Lines) {
    // Every character 10 wide; W is 50.
    auto font = gametest::testFont({gametest::asciiCodes(), 10, 10, 2, 0, {{'W', 50}}});
    struct Case {
        const char* text;
        int width, indent, indentLines;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"ab cd", 40, 0, 0, {"ab", "cd"}},            // "ab c" fits, d does not: break at the space
        {"abcdef", 30, 0, 0, {"abc", "def"}},         // no space: before the overflowing character
        {"ab.cdef", 50, 0, 0, {"ab.", "cdef"}},       // after the last full stop that fits
        {"a/bcdefg", 50, 0, 0, {"a/", "bcdef", "g"}},
        {"a\\nb", 100, 0, 0, {"a", "b"}},             // the break mark
        {"", 100, 0, 0, {""}},
        {"WW", 30, 0, 0, {"W", "W"}},                 // wider than the line: one character each
        {"x", 0, 0, 0, {"x"}},
        {"\xC3\xA9\xC3\xA9 \xC3\xA9\xC3\xA9", 40, 0, 0, {"\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9"}},
        {"aaa aaa", 40, 20, 1, {"aa", "a", "aaa"}},   // the first line is narrower
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextPanel::wrapText(*font, c.text, c.width, c.indent, c.indentLines), c.lines) << c.text;
}

TEST(Gradient, FirstAndLastRows) {
    auto target = Image::createImage(4, 256, 0x00FF00);
    Graphics& g = *target->getGraphics();
    auto row = [&](int y) {
        std::int32_t p = 0;
        target->getRGB(std::span<std::int32_t>(&p, 1), 0, 1, 1, y, 1, 1);
        return static_cast<std::uint32_t>(p) & 0xFFFFFF;
    };
    TextPanel::gradient(g, 0, 0, 4, 256, 0x000000, 0xFF0000, 1);
    EXPECT_EQ(row(0), 0x000000u);
    EXPECT_EQ(row(255), 0xFF0000u);
    TextPanel::gradient(g, 0, 0, 4, 256, 0x0000FF, 0xFFFFFF, 10);  // bands of ten
    EXPECT_EQ(row(9), 0x0000FFu);
    EXPECT_EQ(row(10), row(19));
    TextPanel::gradient(g, 0, 0, 4, 1, 0x112233, 0xFFFFFF, 0);  // one row, no step: the first colour
    EXPECT_EQ(row(0), 0x112233u);
}

// A game that only owns the canvas, so that keys map to game actions.
class NoGame final : public GameMidlet {
public:
    void resetFrameClock() override {}
    void onLifecycle(int) override {}
    void onKey(int, int) override {}
    void onPointer(int, int, int) override {}
    void paintFrame(Graphics&) override {}
    void tick(int) override {}
};

constexpr int UP = -1, DOWN = -2, LEFT = -3, RIGHT = -4, FIRE = -5;

class Panel : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        TextPanel::resetClassState();
        gametest::writePack("r3", {{0}, {1}});
        game_ = std::make_shared<NoGame>();
        font_ = gametest::testFont();
        TextPanel::setDefaultFonts(font_, font_, font_);
        // Commands 5 and 9 on the panel's softkeys.
        gametest::writePack("l0_0", {game::format::TextEntry::encode("x"), game::format::TextEntry::encode("Back"),
                                     game::format::TextEntry::encode("Go")});
        MainCanvas::defineCommand(5, 1, 2);
        MainCanvas::defineCommand(9, 2, 0);
    }
    void TearDown() override {
        TextPanel::resetClassState();
        GameTest::TearDown();
    }
    void press(TextPanel& p, int key) {
        p.handleKey(key, GameMidlet::KEY_PRESSED);
        p.handleKey(key, GameMidlet::KEY_RELEASED);
    }
    // 0 action 10, 1 static, 2 slider 11, 3 choice of three 12, 4 disabled
    // action 13, 5 choice of none 14.
    void buildList(TextPanel& p) {
        p.setup(TextPanel::MODE_LIST, 6, 0);
        p.setItem(0, TextPanel::ITEM_ACTION, "Play", {}, 10);
        p.setItem(1, TextPanel::ITEM_STATIC, "Note", {}, 0);
        p.addSlider(2, "Music", nullptr, 0, 5, 11, nullptr);
        p.addChoice(3, "Mode", nullptr, {"a", "b", "c"}, nullptr, 12);
        p.setItem(4, TextPanel::ITEM_ACTION, "Later", {}, 13);
        p.setItemDisabled(4, true);
        p.addChoice(5, "Empty", nullptr, {}, nullptr, 14);
        p.setSoftkeyCommand(0, 9);
        p.setSoftkeyCommand(1, 5);
        p.layout(800, 600);
    }
    using Event = std::optional<TextPanel::Event>;
    static Event item(int action) { return TextPanel::Event{TextPanel::EVENT_ITEM, action}; }
    static Event command(int c) { return TextPanel::Event{TextPanel::EVENT_COMMAND, c}; }

    std::shared_ptr<NoGame> game_;
    std::shared_ptr<game::BitmapFont> font_;
};

TEST_F(Panel, ListKeysSkipWrapClampAndReportOnce) {
    TextPanel p;
    buildList(p);
    EXPECT_EQ(p.selected(), 0);
    press(p, DOWN);  // over the static row; moving is silent
    EXPECT_EQ(p.selected(), 2);
    EXPECT_EQ(sounds(), "");
    press(p, RIGHT);
    EXPECT_EQ(p.itemValue(2), 1);
    EXPECT_EQ(sounds(), "#1 audio/wav start loops=1 level=60\n");
    press(p, DOWN);  // ignored while the event waits
    EXPECT_EQ(p.selected(), 2);
    EXPECT_EQ(p.update(16), item(11));
    EXPECT_EQ(p.update(16), std::nullopt);  // handed over once
    p.setItemValue(2, 5);
    press(p, RIGHT);  // at the top: stays, silent, no event
    EXPECT_EQ(p.itemValue(2), 5);
    EXPECT_EQ(sounds(), "");
    EXPECT_EQ(p.update(16), std::nullopt);
    press(p, DOWN);
    press(p, LEFT);  // a choice wraps downwards
    EXPECT_EQ(p.itemValue(3), 2);
    EXPECT_EQ(p.update(16), item(12));
    press(p, FIRE);  // FIRE advances a choice and wraps to 0
    EXPECT_EQ(p.itemValue(3), 0);
    EXPECT_EQ(p.update(16), item(12));
    sounds();
    press(p, DOWN);  // a disabled row is selectable but does nothing
    press(p, FIRE);
    EXPECT_EQ(p.update(16), std::nullopt);
    EXPECT_EQ(MainCanvas::state().leftCommand, -1);  // and hides the left softkey
    press(p, DOWN);  // a choice of nothing takes no step
    press(p, RIGHT);
    press(p, FIRE);
    EXPECT_EQ(p.update(16), std::nullopt);
    EXPECT_EQ(sounds(), "");
    press(p, DOWN);  // wraps to the first row, and back
    EXPECT_EQ(p.selected(), 0);
    press(p, UP);
    EXPECT_EQ(p.selected(), 5);
    press(p, UP);
    press(p, UP);
    EXPECT_EQ(p.selected(), 3);
}

TEST_F(Panel, SoftkeyCommands) {
    TextPanel p;
    buildList(p);
    p.reset();
    EXPECT_EQ(MainCanvas::state().leftCommand, 9);
    EXPECT_EQ(MainCanvas::state().rightCommand, 5);
    p.handleKey(5, GameMidlet::KEY_COMMAND);
    EXPECT_EQ(p.update(16), command(5));
    p.handleKey(9, GameMidlet::KEY_COMMAND);  // the left command acts on the row, with its sound
    EXPECT_EQ(p.update(16), item(10));
    EXPECT_EQ(sounds(), "#1 audio/wav start loops=1 level=60\n");
    p.handleKey(77, GameMidlet::KEY_COMMAND);
    EXPECT_EQ(p.update(16), std::nullopt);
}

TEST_F(Panel, PointerSelectsRealRowsAndActivatesOnTheSecondPress) {
    TextPanel p;
    buildList(p);
    p.draw(*Image::createImage(800, 600)->getGraphics(), 0, 0);
    auto rowY = [&](int i) { return p.contentTop() + p.item(i).y + p.item(i).height / 2 - p.scrollY(); };
    const int x = 20;
    p.handlePointer(GameMidlet::POINTER_PRESS, x, rowY(3));
    EXPECT_EQ(p.selected(), 3);
    EXPECT_EQ(p.update(16), std::nullopt);
    p.handlePointer(GameMidlet::POINTER_PRESS, x, rowY(3));
    EXPECT_EQ(p.update(16), item(12));
    EXPECT_EQ(sounds(), "");  // a click is silent
    p.handlePointer(GameMidlet::POINTER_PRESS, x, rowY(1));  // the static row
    p.handlePointer(GameMidlet::POINTER_MOVE, x, rowY(5) + p.rowHeight());  // past the last row
    EXPECT_EQ(p.selected(), 3);
    p.handlePointer(GameMidlet::POINTER_MOVE, x, rowY(0));
    EXPECT_EQ(p.selected(), 0);
    EXPECT_EQ(p.update(16), std::nullopt);
}

TEST_F(Panel, FullScreenListEndsAboveTheSoftkeyBar) {
    MainCanvas::setSoftkeyFonts(font_, font_);
    TextPanel p;
    p.setup(TextPanel::MODE_LIST, 40, 0);
    for (int i = 0; i < 40; ++i) p.setItem(i, TextPanel::ITEM_ACTION, "Row " + std::to_string(i), {}, i);
    p.layout(800, 600);
    const int bottom = p.contentTop() + p.viewHeight() + TextPanel::shared().downArrowHeight;
    EXPECT_LE(bottom, 600 - MainCanvas::state().softkeyBarHeight);
    EXPECT_GT(p.contentHeight(), p.viewHeight());
    // The selection stays in view as it moves down the list.
    for (int i = 0; i < 30; ++i) press(p, DOWN);
    EXPECT_EQ(p.selected(), 30);
    const int top = p.item(30).y - p.scrollY();
    EXPECT_GE(top, 0);
    EXPECT_LE(top + p.rowHeight(), p.viewHeight());
}

TEST_F(Panel, TextModeScrollsAndFireIssuesTheLeftCommand) {
    TextPanel p;
    p.setup(TextPanel::MODE_TEXT, 1, 0);
    std::string text;
    for (int i = 0; i < 400; ++i) text += "word ";
    p.setItem(0, TextPanel::ITEM_STATIC, text, {}, 0);
    p.setSoftkeyCommand(0, 9);
    p.layout(400, 300);
    ASSERT_GT(p.contentHeight(), p.viewHeight());
    EXPECT_EQ(p.viewHeight() % (font_->height() + 4), 0);  // whole lines
    p.handleKey(DOWN, GameMidlet::KEY_PRESSED);
    p.update(30);  // 2 + 30 x 16 / 300
    EXPECT_EQ(p.scrollY(), 3);
    p.handleKey(DOWN, GameMidlet::KEY_RELEASED);
    p.update(30);
    EXPECT_EQ(p.scrollY(), 3);  // stopped
    p.handlePointer(GameMidlet::POINTER_WHEEL_DOWN, 10, 10);
    for (int i = 0; i < 20; ++i) p.update(16);
    EXPECT_GT(p.scrollY(), 3 + 20);
    for (int i = 0; i < 200; ++i) p.handlePointer(GameMidlet::POINTER_WHEEL_DOWN, 10, 10);
    for (int i = 0; i < 2000; ++i) p.update(16);
    EXPECT_EQ(p.scrollY(), p.contentHeight() - p.viewHeight());  // never past the end
    press(p, FIRE);
    EXPECT_EQ(p.update(16), command(9));
}

// A panel drawn shifted right inside its window (the briefing) wraps short
// by the shift, so its longest line still ends inside the panel's box.
TEST_F(Panel, RightReserveKeepsShiftedTextInsideTheBox) {
    const std::string text(300, 'x');
    auto rightmostInk = [&](int reserve) {
        TextPanel p;
        p.setup(TextPanel::MODE_TEXT, 1, 0);
        p.setItem(0, TextPanel::ITEM_STATIC, text, {}, 0);
        p.setRightReserve(reserve);
        p.layout(400, 300);
        auto target = Image::createImage(500, 300, 0xFFFFFF);
        p.draw(*target->getGraphics(), 25, 0);
        std::vector<std::int32_t> px(500 * 300);
        target->getRGB(px, 0, 500, 0, 0, 500, 300);
        int right = -1;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 500; ++x)
                // The test font's glyphs are filled with their index + 1.
                if (const auto c = px[static_cast<std::size_t>(y * 500 + x)] & 0xFFFFFF; c > 0 && c < 0x100)
                    right = std::max(right, x);
        return right;
    };
    EXPECT_GE(rightmostInk(0), 400);  // the fault: ink past the box
    EXPECT_GT(rightmostInk(50), 300);
    EXPECT_LT(rightmostInk(50), 400 - 25);
}

}  // namespace
