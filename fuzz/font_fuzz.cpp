// Font files: metrics records and a glyph sheet from untrusted bytes, then
// measuring and drawing in a few colours (palette recolouring included).
// The first byte is the number of metrics records; the rest after them is
// the sheet.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "java/lang/Throwable.h"
#include "javax/microedition/lcdui/Font.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"

using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static std::ostringstream sink;
    platform::Console::redirect(&sink, &sink);
    sink.str("");
    const std::size_t corLength = std::min<std::size_t>(size - 1, std::size_t{data[0]} * 6);
    std::vector<std::uint8_t> cor(data + 1, data + 1 + corLength);
    std::vector<std::uint8_t> png(data + 1 + corLength, data + size);
    try {
        auto font = Font::fromFiles(Font::STYLE_PLAIN, Font::SIZE_MEDIUM, cor, png);
        std::string text;
        for (int c = 0; c < 130; ++c) text += static_cast<char>(c);
        const int w = font->stringWidth(text);
        // Without a usable sheet every character measures 8 (12 x 2 / 3).
        if (!font->hasSheet() && w != 130 * 8) __builtin_trap();
        auto image = Image::createImage(64, 32);
        auto g = image->getGraphics();
        g->setFont(font);
        for (int colour : {0, 0x00FF00, static_cast<int>(0xFF000000)}) {
            g->setColor(colour);
            g->drawString(text, -3, -2, Graphics::TOP | Graphics::LEFT);
        }
    } catch (const java::lang::Throwable&) {
    }
    return 0;
}
