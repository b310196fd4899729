#include "game/ui/BitmapFont.h"

#include "GameTestSupport.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Font.h"

namespace {

using game::BitmapFont;
using gametest::TestFontShape;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

std::uint32_t pixel(const std::shared_ptr<Image>& image, int x, int y) {
    std::int32_t p = 0;
    image->getRGB(std::span<std::int32_t>(&p, 1), 0, 1, x, y, 1, 1);
    return static_cast<std::uint32_t>(p);
}

TEST(BitmapFont, WidthsByCodePointWithSpacing) {
    struct Case {
        int spacing;
        std::vector<int> codes;
        const char* text;
        int width;
    };
    const std::vector<int> withSpace = {' ', 'A', 'B', 0xE9};
    const std::vector<int> noSpace = {'A', 'B'};
    const Case cases[] = {
        {1, withSpace, "AB", 22},         // trailing spacing included
        {-2, withSpace, "AB", 18},        // 2 x (10 - 2) + 2: the last one does not shrink
        {0, withSpace, "A\xC3\xA9", 20},  // é is one character, not two bytes
        {0, withSpace, "A?B", 30},        // no glyph: measured as the space
        {0, noSpace, "A?B", 20},          // and without a space glyph: nothing
        {0, withSpace, "", 0},
    };
    for (const Case& c : cases) {
        auto font = gametest::testFont({c.codes, 10, 10, 2, c.spacing, {}});
        EXPECT_EQ(font->stringWidth(c.text), c.width) << c.text << " spacing " << c.spacing;
    }
    auto font = gametest::testFont({noSpace, 10, 10, 2, 0, {}});
    EXPECT_EQ(font->glyphOrSpace('?'), -1);
    EXPECT_EQ(font->height(), 12);
}

TEST(BitmapFont, GlyphsDrawClippedToTheirCellsAtTheirAnchors) {
    auto font = gametest::testFont({{' ', 'A', 'B'}, 6, 10, 2, 1, {}});  // glyph cells are 16 wide, glyphs 6
    auto target = Image::createImage(100, 40, 0xFFFFFF);
    Graphics& g = *target->getGraphics();
    font->drawString(g, "AB B", 10, 5, Graphics::TOP | Graphics::LEFT);
    EXPECT_EQ(pixel(target, 10, 5), 0xFF000002u);   // A (glyph 1) from its cell
    EXPECT_EQ(pixel(target, 15, 16), 0xFF000002u);
    EXPECT_EQ(pixel(target, 16, 5), 0xFFFFFFFFu);   // the spacing column stays clear
    EXPECT_EQ(pixel(target, 17, 5), 0xFF000003u);   // B after 6 + 1
    EXPECT_EQ(pixel(target, 24, 5), 0xFFFFFFFFu);   // a space advances and draws nothing
    EXPECT_EQ(pixel(target, 31, 5), 0xFF000003u);
    EXPECT_EQ(pixel(target, 10, 17), 0xFFFFFFFFu);  // below the glyph's height
    EXPECT_EQ(g.getClipWidth(), 100);               // the clip is given back

    auto right = Image::createImage(100, 40, 0xFFFFFF);
    Graphics& r = *right->getGraphics();
    font->drawString(r, "A", 50, 30, Graphics::BOTTOM | Graphics::RIGHT);  // 7 wide with its spacing
    EXPECT_EQ(pixel(right, 43, 18), 0xFF000002u);
    EXPECT_EQ(pixel(right, 48, 27), 0xFF000002u);
    EXPECT_EQ(pixel(right, 42, 18), 0xFFFFFFFFu);
    font->drawString(r, "B", 50, 20, Graphics::VCENTER | Graphics::LEFT);  // draws nothing
    EXPECT_EQ(pixel(right, 50, 20), 0xFFFFFFFFu);
}

TEST(BitmapFont, PlatformModeOutline) {
    using javax::microedition::lcdui::Font;
    auto system = Font::getFont(Font::FACE_PROPORTIONAL, Font::STYLE_PLAIN, Font::SIZE_MEDIUM);
    BitmapFont plain(system, BitmapFont::kNoOutline), outlined(system, 0xFF0000);
    EXPECT_EQ(outlined.height(), plain.height() + 2);
    EXPECT_EQ(outlined.stringWidth("Tide"), plain.stringWidth("Tide") + 2);
    EXPECT_EQ(outlined.charWidth('T'), system->charWidth('T'));
    auto target = Image::createImage(60, 30, 0xFFFFFF);
    Graphics& g = *target->getGraphics();
    g.setColor(0x123456);
    outlined.drawString(g, "I", 0, 0, Graphics::TOP | Graphics::LEFT);
    EXPECT_EQ(g.getColor(), 0x123456);  // the caller's colour stays
    // The outline lies one pixel around the text, inside the anchor box:
    // its top row is one above the text's and below the anchor.
    int redTop = 99, blackTop = 99;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            const auto p = pixel(target, x, y);
            if (p == 0xFFFF0000u) redTop = std::min(redTop, y);
            if (p == 0xFF000000u) blackTop = std::min(blackTop, y);
        }
    ASSERT_LT(blackTop, 99);
    EXPECT_EQ(redTop, blackTop - 1);
    EXPECT_GT(redTop, 0);
}

TEST(BitmapFont, DamagedTablesAreRefusedWithTheirError) {
    auto sheet = Image::createImage(16, 16);
    EXPECT_THROW(BitmapFont(sheet, std::vector<std::uint8_t>{0, 2, 0, 9, 3, 2, 0, 'x', 10}), java::io::EOFException);
    EXPECT_THROW(BitmapFont(sheet, std::vector<std::uint8_t>{}), java::io::EOFException);
}

}  // namespace
