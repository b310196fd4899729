#include "javax/microedition/lcdui/FallbackFont.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "javax/microedition/lcdui/FontFile.h"
#include "platform/RasterSurface.h"

namespace javax::microedition::lcdui::fallback {

namespace {

const Glyph& glyphFor(char32_t c) { return kGlyphs[(c >= 32 && c < 127) ? c - 32 : '?' - 32]; }

}  // namespace

void drawString(platform::RasterSurface& surface, std::string_view s, int x, int baselineY) {
    const std::vector<char32_t> codes = decodeText(s);
    if (codes.empty()) return;
    // One ARGB strip for the whole string, so the blit clips it once.
    int width = 0, pen = 0, ascent = 0, descent = 0;
    for (char32_t c : codes) {
        const Glyph& g = glyphFor(c);
        width = std::max(width, pen + g.left + g.width);
        pen += g.advance;
        width = std::max(width, pen);
        ascent = std::max(ascent, g.top);
        descent = std::max(descent, g.height - g.top);
    }
    const int height = ascent + descent;
    if (width <= 0 || height <= 0) return;
    std::vector<std::uint32_t> strip(static_cast<std::size_t>(width) * height, 0);
    const std::uint32_t rgb = surface.color() & 0xFFFFFFu, alpha = surface.color() >> 24;
    pen = 0;
    for (char32_t c : codes) {
        const Glyph& g = glyphFor(c);
        for (int r = 0; r < g.height; ++r) {
            const int y = ascent - g.top + r;
            for (int col = 0; col < g.width; ++col) {
                const int px = pen + g.left + col;
                const std::size_t src = g.offset + static_cast<std::size_t>(r) * g.width + col;
                if (px < 0 || px >= width || y < 0 || y >= height || src >= kCoverageSize) continue;
                std::uint32_t& dst = strip[static_cast<std::size_t>(y) * width + px];
                const std::uint32_t a = std::max<std::uint32_t>(dst >> 24, kCoverage[src] * alpha / 255);
                dst = a << 24 | rgb;
            }
        }
        pen += g.advance;
    }
    surface.drawImage(platform::PixelSource{strip.data(), width, height, width, false}, x, baselineY - ascent);
}

}  // namespace javax::microedition::lcdui::fallback
