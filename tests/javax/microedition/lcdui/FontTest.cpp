#include "javax/microedition/lcdui/Font.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Resources.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/FontFile.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/LcduiTestSupport.h"
#include "platform/PngWriter.h"

namespace {

namespace fs = std::filesystem;
using javax::microedition::lcdui::decodeText;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::FontMetrics;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::recolourPalette;
using Bytes = std::vector<std::uint8_t>;

const char* const kSets[] = {"SI-SL55", "NK-3300", "NK-6020", "NK-6600", "SE-S700"};
const char* const kFiles[] = {"small_plain", "small_bold", "medium_plain", "medium_bold", "large_plain", "large_bold"};

Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void writeFile(const fs::path& p, const Bytes& b) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}

class FontTest : public lcdui_test::TracedTest {
protected:
    void SetUp() override {
        TracedTest::SetUp();
        Font::resetClassState();
        TarvokinEmu::setResourceDir(RESOURCE_DIR);
        // Resources are looked up in the working directory first: an empty
        // one, so that the result does not depend on where the tests run.
        oldDir_ = fs::current_path();
        workDir_ = fs::temp_directory_path() / ("tidepool-font-cwd-" + std::to_string(::getpid()));
        fs::create_directories(workDir_);
        fs::current_path(workDir_);
    }
    void TearDown() override {
        Font::resetClassState();
        fs::current_path(oldDir_);
        fs::remove_all(workDir_);
        if (!scratch_.empty()) fs::remove_all(scratch_);
        TracedTest::TearDown();
    }
    void useSet(const std::string& name, const std::string& resourceDir = RESOURCE_DIR) {
        Font::resetClassState();
        TarvokinEmu::config().fontName = name;
        TarvokinEmu::setResourceDir(resourceDir);
    }
    // A resource folder holding a copy of a real set, to be damaged.
    fs::path copyOfSet(const std::string& set) {
        scratch_ = fs::temp_directory_path() / ("tidepool-font-test-" + std::to_string(::getpid()));
        fs::remove_all(scratch_);
        fs::create_directories(scratch_ / "TarvokinEmuFonts");
        fs::copy(fs::path(RESOURCE_DIR) / "TarvokinEmuFonts" / set, scratch_ / "TarvokinEmuFonts" / "Bad");
        return scratch_ / "TarvokinEmuFonts" / "Bad";
    }
    static std::shared_ptr<Font> medium() { return Font::getDefaultFont(); }

    fs::path scratch_;
    fs::path oldDir_, workDir_;
};

TEST_F(FontTest, LookupIgnoresFaceAndMapsUnknownKeysToSmallPlain) {
    struct Case {
        int face, style, size, wantStyle, wantSize;
    } cases[] = {
        {Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_MEDIUM, 0, 0},
        {Font::FACE_MONOSPACE, Font::STYLE_BOLD, Font::SIZE_LARGE, 1, 16},
        {Font::FACE_PROPORTIONAL, Font::STYLE_BOLD, Font::SIZE_SMALL, 1, 8},
        {Font::FACE_SYSTEM, Font::STYLE_ITALIC, Font::SIZE_MEDIUM, 0, 8},
        {Font::FACE_SYSTEM, Font::STYLE_BOLD | Font::STYLE_UNDERLINED, Font::SIZE_LARGE, 0, 8},
        {Font::FACE_SYSTEM, Font::STYLE_PLAIN, 24, 0, 8},
    };
    for (const Case& c : cases) {
        auto f = Font::getFont(c.face, c.style, c.size);
        EXPECT_EQ(f->getStyle(), c.wantStyle) << c.style << "/" << c.size;
        EXPECT_EQ(f->getSize(), c.wantSize) << c.style << "/" << c.size;
        EXPECT_EQ(f->getFace(), Font::FACE_SYSTEM);
    }
    EXPECT_EQ(Font::getFont(Font::FONT_STATIC_TEXT), Font::getDefaultFont());
    EXPECT_EQ(Font::getFont(Font::FONT_INPUT_TEXT), Font::getFont(0, Font::STYLE_BOLD, Font::SIZE_MEDIUM));
    EXPECT_EQ(Font::getFont(0, 1, 16), Font::getFont(32, 1, 16));
    EXPECT_EQ(lines(), std::vector<std::string>{"[EMU class Opened: javax.microedition.lcdui.Font]"});
}

// The generated sets: every font loads, every glyph cell lies inside its
// sheet, and the metrics follow the records.
TEST_F(FontTest, EveryGlyphOfEverySetIsInsideItsSheet) {
    for (const char* set : kSets) {
        useSet(set);
        const int keys[][2] = {{0, 8}, {1, 8}, {0, 0}, {1, 0}, {0, 16}, {1, 16}};
        for (auto [style, size] : keys) {
            auto font = Font::getFont(0, style, size);
            SCOPED_TRACE(std::string(set) + " " + std::to_string(style) + "/" + std::to_string(size));
            ASSERT_TRUE(font->hasSheet());
            const auto& sheet = *font->currentSheet();
            const FontMetrics& m = font->metrics();
            ASSERT_EQ(m.recordCount(), 95);
            EXPECT_GT(font->getHeight(), 0);
            EXPECT_EQ(font->getBaselinePosition(), font->getHeight() - font->getHeight() / 3);
            for (char32_t c = 32; c < 127; ++c) {
                const auto r = m.record(c);
                ASSERT_TRUE(r);
                EXPECT_EQ(r->offsetX, 0);
                EXPECT_GT(r->width, 0) << char(c);
                EXPECT_LE(r->sheetX + r->width, sheet.getWidth()) << char(c);
                EXPECT_LE(r->sheetY + r->height, sheet.getHeight()) << char(c);
                EXPECT_GE(r->offsetY, 0);
                EXPECT_LE(r->offsetY + r->height, font->getHeight() + 1) << char(c);
            }
            EXPECT_EQ(font->charWidth('A'), m.record(65)->width);
            EXPECT_EQ(font->charWidth(127), 0);
            EXPECT_EQ(font->charWidth(31), 0);
            EXPECT_EQ(font->stringWidth("AB\x7f\x01"), font->charWidth('A') + font->charWidth('B'));
            EXPECT_EQ(font->substringWidth("xABy", 1, 2), font->charWidth('A') + font->charWidth('B'));
            EXPECT_EQ(font->charsWidth({'A', 'B', 'C'}, 1, 2), font->charWidth('B') + font->charWidth('C'));
        }
    }
}

TEST_F(FontTest, RangeErrorsAreRaised) {
    useSet("NK-6600");
    auto f = medium();
    EXPECT_THROW(f->substringWidth("abc", 2, 2), java::lang::StringIndexOutOfBoundsException);
    EXPECT_THROW(f->substringWidth("abc", -1, 1), java::lang::StringIndexOutOfBoundsException);
    EXPECT_THROW(f->substringWidth("abc", 1, INT32_MAX), java::lang::StringIndexOutOfBoundsException);
    EXPECT_THROW(f->charsWidth({'a'}, 0, 2), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_EQ(f->substringWidth("abc", 3, 0), 0);
    EXPECT_EQ(f->stringWidth(std::string_view()), 0);
}

TEST_F(FontTest, ColourCacheRecyclesItsSixteenEntries) {
    useSet("NK-6600");
    auto image = Image::createImage(60, 20);
    auto g = image->getGraphics();
    auto f = medium();
    g->setColor(0);
    g->drawString("A", 0, 0, Graphics::TOP | Graphics::LEFT);
    EXPECT_EQ(f->cacheCursor(), 0) << "colour 0 uses the sheet as loaded";
    g->setColor(0x00FF00);
    g->drawString("A", 0, 0, Graphics::TOP | Graphics::LEFT);
    EXPECT_EQ(f->cacheCursor(), 1);
    EXPECT_EQ(f->cacheColour(1), 0x00FF00);
    g->drawString("A", 0, 0, Graphics::TOP | Graphics::LEFT);
    EXPECT_EQ(f->cacheCursor(), 1) << "a cached colour is reused";

    Font::resetClassState();
    f = medium();
    g->setFont(f);
    for (int i = 1; i <= 17; ++i) {
        g->setColor(i * 0x010101);
        g->drawString("A", 0, 0, Graphics::TOP | Graphics::LEFT);
    }
    EXPECT_EQ(f->cacheColour(0), 16 * 0x010101) << "the sixteenth colour replaces the loaded sheet";
    EXPECT_EQ(f->cacheCursor(), 1);
    EXPECT_EQ(f->cacheColour(1), 17 * 0x010101);
    EXPECT_EQ(f->cacheColour(2), 2 * 0x010101);
    // Colour 0 is no longer cached, so it takes the next entry.
    g->setColor(0);
    g->drawString("A", 0, 0, Graphics::TOP | Graphics::LEFT);
    EXPECT_EQ(f->cacheCursor(), 2);
}

// Glyph pixels come out in the requested colour, inside the measured box and
// inside the context's clip.
TEST_F(FontTest, GlyphsDrawInTheirColourInsideBoxAndClip) {
    useSet("NK-6600");
    auto image = Image::createImage(80, 30);
    auto g = image->getGraphics();
    auto f = medium();
    g->setColor(0x00FF00);
    g->setClip(0, 0, 200, 200);
    g->drawString("HM", 10, 5, Graphics::TOP | Graphics::LEFT);
    const int w = f->stringWidth("HM"), h = f->getHeight();
    std::vector<std::int32_t> px(80 * 30);
    image->getRGB(px, 0, 80, 0, 0, 80, 30);
    int green = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const auto p = static_cast<std::uint32_t>(px[y * 80 + x]);
            if (p == 0xFFFFFFFFu) continue;
            EXPECT_TRUE(x >= 10 && x < 10 + w && y >= 5 && y < 5 + h + 1) << x << "," << y;
            EXPECT_EQ((p >> 16) & 0xFF, p & 0xFF) << "only green mixed with white";
            green += p == 0xFF00FF00u;
        }
    EXPECT_GT(green, 10);

    auto clipped = Image::createImage(80, 30);
    auto g2 = clipped->getGraphics();
    g2->setColor(0);
    g2->setClip(0, 0, 12, 30);
    g2->drawString("HM", 10, 5, Graphics::TOP | Graphics::LEFT);
    std::vector<std::int32_t> px2(80 * 30);
    clipped->getRGB(px2, 0, 80, 0, 0, 80, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 12; x < 80; ++x) EXPECT_EQ(static_cast<std::uint32_t>(px2[y * 80 + x]), 0xFFFFFFFFu);
}

TEST_F(FontTest, MissingSetMeasuresAndDrawsWithTheFallback) {
    const fs::path empty = fs::temp_directory_path() / "tidepool-font-empty";
    fs::create_directories(empty);
    useSet("NK-6600", empty.string());
    auto f = medium();
    EXPECT_FALSE(f->hasSheet());
    EXPECT_EQ(f->stringWidth("abc"), 24);
    EXPECT_EQ(f->getHeight(), 12);
    EXPECT_EQ(f->getBaselinePosition(), 8);
    EXPECT_EQ(f->charWidth('x'), 12);
    EXPECT_EQ(f->charsWidth({'a', 'b', 'c'}, 0, 3), 36);
    EXPECT_EQ(f->substringWidth("abcd", 1, 2), 16);

    auto image = Image::createImage(60, 20);
    auto g = image->getGraphics();
    g->setColor(0xFF0000);
    g->drawString("Hi", 2, 2, Graphics::TOP | Graphics::LEFT);
    std::vector<std::int32_t> px(60 * 20);
    image->getRGB(px, 0, 60, 0, 0, 60, 20);
    int red = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            const auto p = static_cast<std::uint32_t>(px[y * 60 + x]);
            red += p == 0xFFFF0000u;
            if (p != 0xFFFFFFFFu) { EXPECT_TRUE(y >= 2 && y < 17 && x >= 2 && x < 20) << x << "," << y; }
            // Nothing is anti-aliased: a pixel is the text colour or untouched.
            EXPECT_TRUE(p == 0xFFFFFFFFu || p == 0xFFFF0000u) << std::hex << p << " at " << std::dec << x << "," << y;
        }
    EXPECT_GT(red, 5);
    fs::remove_all(empty);
}

// Damaged sets: loading stops at the first missing file, bad sheets fall
// back, odd records are skipped; nothing reads outside its bytes.
TEST_F(FontTest, DamagedSets) {
    struct Case {
        const char* name;
        void (*damage)(const fs::path& dir);
        bool smallPlainSheet, mediumPlainSheet, largeBoldSheet;
    } cases[] = {
        {"medium sheet missing", [](const fs::path& d) { fs::remove(d / "medium_plain.png"); }, true, false, false},
        {"a metrics file missing", [](const fs::path& d) { fs::remove(d / "large_bold.cor"); }, false, false, false},
        {"metrics without a record", [](const fs::path& d) { writeFile(d / "medium_plain.cor", Bytes(5, 7)); }, true,
         false, true},
        {"sheet not a PNG", [](const fs::path& d) { writeFile(d / "medium_plain.png", Bytes(300, 0x50)); }, true,
         false, true},
        {"truncated metrics",
         [](const fs::path& d) {
             Bytes cor = readFile(d / "medium_plain.cor");
             cor.resize(6 * 20 + 4);
             writeFile(d / "medium_plain.cor", cor);
         },
         true, true, true},
        {"cells outside the sheet",
         [](const fs::path& d) {
             Bytes cor = readFile(d / "medium_plain.cor");
             for (std::size_t i = 0; i + 6 <= cor.size(); i += 6) {
                 cor[i + 1] = 0x80;  // offset -128
                 cor[i + 2] = 0x7F;
                 cor[i + 3] = 0x7F;
                 cor[i + 4] = 0x7F;  // sheet x 255
                 cor[i + 5] = 0x7F;
             }
             writeFile(d / "medium_plain.cor", cor);
         },
         true, true, true},
        {"sheet without a palette",
         [](const fs::path& d) {
             const std::vector<std::uint32_t> pixels(256 * 40, 0xFF000000u);
             writeFile(d / "medium_plain.png", platform::encodePng(pixels, 256, 40));
         },
         true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = copyOfSet("NK-6600");
        c.damage(dir);
        useSet("Bad", scratch_.string());
        EXPECT_EQ(Font::getFont(0, 0, Font::SIZE_SMALL)->hasSheet(), c.smallPlainSheet);
        EXPECT_EQ(medium()->hasSheet(), c.mediumPlainSheet);
        EXPECT_EQ(Font::getFont(0, 1, Font::SIZE_LARGE)->hasSheet(), c.largeBoldSheet);
        auto image = Image::createImage(100, 40);
        auto g = image->getGraphics();
        for (int colour : {0, 0x123456, static_cast<int>(0xFF000000)}) {
            g->setColor(colour);
            g->drawString("Az~\x7f", 90, 30, Graphics::TOP | Graphics::LEFT);
            g->drawString("Az~\x7f", -5, -5, Graphics::TOP | Graphics::LEFT);
        }
        const int width = medium()->stringWidth("Az");
        if (!c.mediumPlainSheet) { EXPECT_EQ(width, 16); }
        if (std::string(c.name) == "truncated metrics") { EXPECT_EQ(width, 0) << "records past the end count 0"; }
        fs::remove_all(scratch_);
        lines();
    }
}

TEST(FontFileTest, RecolourRewritesDarkEntriesAndKeepsTheCrcValid) {
    // A 2 x 1 palette picture: entry 0 near black, entry 1 dark red (not a
    // key match because red is 0x10).
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 2, 0, 0, 0,
                 1, 8, 3, 0, 0, 0};
    auto chunk = [&png](const char* type, Bytes data) {
        const std::size_t at = png.size();
        for (int k = 0; k < 4; ++k) png.push_back(std::uint8_t(data.size() >> (24 - 8 * k)));
        png.insert(png.end(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        const auto crc = javax::microedition::lcdui::pngCrc(std::span(png.data() + at + 4, data.size() + 4));
        for (int k = 0; k < 4; ++k) png.push_back(std::uint8_t(crc >> (24 - 8 * k)));
    };
    png.resize(8);
    chunk("IHDR", {0, 0, 0, 2, 0, 0, 0, 1, 8, 3, 0, 0, 0});
    chunk("PLTE", {0x0F, 0x0E, 0x01, 0x10, 0x00, 0x00});
    // zlib stream of the one row "filter 0, index 0, index 1", stored.
    chunk("IDAT", {0x78, 0x01, 0x01, 0x03, 0x00, 0xFC, 0xFF, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00, 0x02});
    chunk("IEND", {});

    Bytes recoloured = png;
    ASSERT_TRUE(recolourPalette(recoloured, 0, 0x00AABBCC));
    auto image = Image::createImage(recoloured, 0, static_cast<int>(recoloured.size()));
    ASSERT_NE(image, nullptr) << "a bad CRC would make the picture undecodable";
    std::int32_t px[2];
    image->getRGB(px, 0, 2, 0, 0, 2, 1);
    EXPECT_EQ(static_cast<std::uint32_t>(px[0]), 0xFFAABBCCu);
    EXPECT_EQ(static_cast<std::uint32_t>(px[1]), 0xFF100000u);

    // A palette chunk whose length runs past the end leaves the bytes alone.
    Bytes cut(png.begin(), png.begin() + 45);
    const Bytes before = cut;
    EXPECT_FALSE(recolourPalette(cut, 0, 0xFFFFFF));
    EXPECT_EQ(cut, before);
    Bytes tiny = {'P', 'L', 'T', 'E'};
    EXPECT_FALSE(recolourPalette(tiny, 0, 0xFFFFFF));
}

TEST(FontFileTest, TextDecodingNeverFails) {
    EXPECT_EQ(decodeText("A\xC3\xA9"), (std::vector<char32_t>{'A', 0xE9}));
    EXPECT_EQ(decodeText("\xC3"), (std::vector<char32_t>{0xC3}));
    EXPECT_EQ(decodeText("\xE2\x82"), (std::vector<char32_t>{0xE2, 0x82}));
    EXPECT_EQ(decodeText("\xFF\x41"), (std::vector<char32_t>{0xFF, 'A'}));
}

}  // namespace
