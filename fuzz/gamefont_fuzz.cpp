// The game's glyph tables and word wrapping. Input: u8 line width, u8
// indent, u16 table length, the glyph table, then the text. A table that
// loads must measure, draw and wrap any text; every wrapped line fits its
// width or holds a single character.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "game/ui/BitmapFont.h"
#include "game/ui/CodePoints.h"
#include "game/ui/TextPanel.h"
#include "java/lang/Throwable.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const int width = data[0];
    const int indent = data[1] & 0x3F;
    const std::size_t tableLength = std::min<std::size_t>(data[2] << 8 | data[3], size - 4);
    const std::span<const std::uint8_t> table(data + 4, tableLength);
    const std::string_view text(reinterpret_cast<const char*>(data + 4 + tableLength), size - 4 - tableLength);

    static const auto sheet = Image::createImage(64, 32, 0x336699);
    std::unique_ptr<game::BitmapFont> font;
    try {
        font = std::make_unique<game::BitmapFont>(sheet, table);
    } catch (const java::lang::Throwable&) {
        return 0;
    }
    static const auto target = Image::createImage(48, 24);
    Graphics& g = *target->getGraphics();
    (void)font->stringWidth(text);
    for (int anchor : {Graphics::TOP | Graphics::LEFT, Graphics::BASELINE | Graphics::HCENTER,
                       Graphics::BOTTOM | Graphics::RIGHT})
        font->drawString(g, text, 24, 12, anchor);

    const auto lines = game::TextPanel::wrapText(*font, text, width, indent, 1);
    if (lines.empty()) __builtin_trap();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto chars = game::CodePoints::of(lines[i]);
        int used = 0;
        for (const auto& c : chars) used += font->charWidth(c.code);
        const int limit = i == 0 ? width - indent : width;
        if (used > limit && chars.size() > 1) __builtin_trap();
        if (lines[i].size() > text.size()) __builtin_trap();
    }
    return 0;
}
