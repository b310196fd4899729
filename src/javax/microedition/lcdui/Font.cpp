#include "javax/microedition/lcdui/Font.h"

#include <array>

#include "TarvokinEmu/Emulator.h"

namespace javax::microedition::lcdui {

namespace {

enum SharedFont { SmallPlain, SmallBold, MediumPlain, MediumBold, LargePlain, LargeBold, kSharedFonts };

const std::array<std::shared_ptr<Font>, kSharedFonts>& sharedFonts() {
    TarvokinEmu::Emulator::traceFirstUse("javax.microedition.lcdui.Font");
    static const std::array<std::shared_ptr<Font>, kSharedFonts> fonts = [] {
        return std::array<std::shared_ptr<Font>, kSharedFonts>{
            std::make_shared<Font>(Font::STYLE_PLAIN, Font::SIZE_SMALL),
            std::make_shared<Font>(Font::STYLE_BOLD, Font::SIZE_SMALL),
            std::make_shared<Font>(Font::STYLE_PLAIN, Font::SIZE_MEDIUM),
            std::make_shared<Font>(Font::STYLE_BOLD, Font::SIZE_MEDIUM),
            std::make_shared<Font>(Font::STYLE_PLAIN, Font::SIZE_LARGE),
            std::make_shared<Font>(Font::STYLE_BOLD, Font::SIZE_LARGE)};
    }();
    return fonts;
}

std::shared_ptr<Font> byKey(int key) {
    switch (key) {
    case 0: return sharedFonts()[MediumPlain];
    case 1: return sharedFonts()[MediumBold];
    case 9: return sharedFonts()[SmallBold];
    case 16: return sharedFonts()[LargePlain];
    case 17: return sharedFonts()[LargeBold];
    default: return sharedFonts()[SmallPlain];
    }
}

}  // namespace

std::shared_ptr<Font> Font::getFont(int face, int style, int size) { return byKey(style | size); }

std::shared_ptr<Font> Font::getFont(int fontSpecifier) { return byKey((fontSpecifier & 7) | (fontSpecifier & 24)); }

std::shared_ptr<Font> Font::getDefaultFont() { return sharedFonts()[MediumPlain]; }

// todo: metrics and glyphs from the runtime font files (and the fallback
// font) arrive with the font loader.
int Font::getHeight() const { return 0; }
int Font::getBaselinePosition() const { return 0; }
int Font::charWidth(char16_t) const { return 0; }
int Font::stringWidth(std::string_view) const { return 0; }
void Font::drawString(GraphicsBackend&, std::string_view, int, int, int) const {}

}  // namespace javax::microedition::lcdui
