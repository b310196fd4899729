// The desktop fallback font: a bold sans face 12 pixels high, embedded as
// one-bit masks stored a byte per pixel, 0 or 255 (FallbackFontData.cpp,
// made by scripts/make-fallback-font.cpp) so text never depends on a system
// font and is never anti-aliased.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {
class RasterSurface;
}

namespace javax::microedition::lcdui::fallback {

struct Glyph {
    int advance;
    // Offset of the mask's left edge from the pen, and of its top row above
    // the baseline.
    int left, top;
    int width, height;
    std::size_t offset;
};

// Codes 32..126; other characters draw the '?' glyph.
extern const Glyph kGlyphs[95];
extern const unsigned char kCoverage[];
extern const std::size_t kCoverageSize;

// Draws s (UTF-8) in the surface colour, its baseline at baselineY.
void drawString(platform::RasterSurface& surface, std::string_view s, int x, int baselineY);

}  // namespace javax::microedition::lcdui::fallback
