// Picture sources: SVG (rasterised with librsvg), PNG, and generated text
// labels; quantisation to a palette.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Content.h"

namespace content {

// Rasterises an SVG or reads a PNG. width/height 0 keep the source's size;
// one of them 0 keeps the aspect ratio.
Rgba loadPicture(const fs::path& file, int width, int height);

// Glyph rendering with FreeType.
class FontFace {
public:
    FontFace(const fs::path& file, int pixelSize);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    struct Glyph {
        int width = 0, rows = 0, left = 0, top = 0, advance = 0;
        std::vector<std::uint8_t> coverage;  // width x rows, 0..255
    };
    Glyph render(std::uint32_t code) const;
    bool has(std::uint32_t code) const;
    int ascender() const;   // pixels above the baseline
    int descender() const;  // pixels below (positive)

private:
    void* library_ = nullptr;
    void* face_ = nullptr;
};

// Text in the given colour with an outline of `outline` pixels, on a
// transparent picture just large enough.
Rgba renderText(const FontFace& face, const std::string& text, std::uint32_t rgb, std::uint32_t outlineRgb, int outline);

// Nearest palette colour (indices 1..n-1) for pixels with alpha >= 128,
// index 0 (transparent) for the rest.
std::vector<std::uint8_t> quantise(const Rgba& img, const std::vector<std::uint32_t>& paletteRgb);

// Decoded UTF-8 code points (throws ContentError for bad UTF-8).
std::u32string utf8Codes(const std::string& text);

}  // namespace content
