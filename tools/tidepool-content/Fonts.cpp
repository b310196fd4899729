// Game bitmap fonts and the runtime's font sets, rendered with FreeType.
#include <algorithm>
#include <cmath>

#include "Compilers.h"
#include "Pictures.h"
#include "game/format/GameFontData.h"

namespace content {

namespace {

struct Cell {
    int x = 0, y = 0;
};

// Shelf packing of cells into a sheet `width` pixels wide; every cell's
// left edge stays below 256 (the formats keep it in one byte).
std::vector<Cell> packCells(const std::vector<int>& widths, int height, int sheetWidth, int& sheetHeight) {
    std::vector<Cell> cells;
    int x = 0, y = 0;
    for (int w : widths) {
        if (x + w > sheetWidth) {
            x = 0;
            y += height;
        }
        cells.push_back({x, y});
        x += w;
    }
    sheetHeight = y + height;
    return cells;
}

}  // namespace

GameFontBuild buildGameFont(const std::string& name, const Value& def, Deps& deps) {
    const std::string file = stringAt(def, "font");
    deps.add(file);
    const FontFace face(file, intAt(def, "size"));
    const std::uint32_t colour = static_cast<std::uint32_t>(colourOf(need(def, "colour")));
    const std::uint32_t outlineColour = lookup(def, "outline") ? static_cast<std::uint32_t>(colourOf(need(def, "outline"))) : 0;
    const int outline = intAt(def, "outline_width", lookup(def, "outline") ? 1 : 0);

    std::u32string codes;
    for (char32_t c = 32; c < 127; ++c) codes.push_back(c);
    for (char32_t c : utf8Codes(stringAt(def, "extra", "")))
        if (codes.find(c) == std::u32string::npos) codes.push_back(c);
    std::sort(codes.begin(), codes.end());

    const int asc = face.ascender() + outline, desc = face.descender() + outline;
    const int cellH = asc + desc;
    std::vector<Rgba> pictures;
    std::vector<int> widths;
    for (char32_t c : codes) {
        if (!face.has(c)) fail(need(def, "font"), "font " + name + " has no glyph for U+" + hexId(static_cast<std::int32_t>(c)).substr(2));
        const std::string utf8 = [&] {
            std::string s;
            if (c < 0x80) s += static_cast<char>(c);
            else if (c < 0x800) s += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
            else s += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
            return s;
        }();
        Rgba g = c == 32 ? Rgba(std::max(1, face.render(32).advance), cellH) : renderText(face, utf8, colour, outlineColour, outline);
        pictures.push_back(g);
        // renderText pads one pixel left; the advance keeps the outline.
        widths.push_back(c == 32 ? g.width : g.width - 1);
    }
    int sheetH = 0;
    const std::vector<Cell> cells = packCells(widths, cellH, 256, sheetH);
    Rgba sheet(256, sheetH);
    game::format::GameFont font;
    font.spacing = intAt(def, "spacing", -outline);
    font.ascent = asc;
    font.descent = desc;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const Rgba& g = pictures[i];
        for (int y = 0; y < std::min(g.height, cellH); ++y)
            for (int x = 0; x < widths[i]; ++x) {
                const std::uint8_t* p = g.at(std::min(x + (codes[i] == 32 ? 0 : 1), g.width - 1), y);
                if (p[3]) sheet.blend(cells[i].x + x, cells[i].y + y, (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2]);
            }
        font.glyphs.push_back({static_cast<int>(codes[i]), cells[i].x, cells[i].y, widths[i], cellH, asc});
    }
    // Index 0 would hold the highest code; the game looks glyphs up by code.
    std::reverse(font.glyphs.begin(), font.glyphs.end());
    return {game::format::GameFontData::encode(font), writePngRgba(sheet)};
}

std::map<std::string, std::vector<std::uint8_t>> buildRuntimeFonts(const Value& def, Deps& deps) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    const std::string regular = stringAt(def, "regular"), bold = stringAt(def, "bold");
    deps.add(regular);
    deps.add(bold);
    static const char* kSizes[] = {"small", "medium", "large"};
    for (const auto& [set, sizesValue] : need(def, "sets").as_table()) {
        const std::vector<int> sizes = intsOf(sizesValue);
        if (sizes.size() != 3) fail(sizesValue, "a font set lists the small, medium and large pixel sizes");
        for (int s = 0; s < 3; ++s)
            for (int b = 0; b < 2; ++b) {
                const FontFace face(b ? bold : regular, sizes[static_cast<std::size_t>(s)]);
                const int asc = face.ascender(), desc = face.descender(), h = asc + desc;
                std::vector<FontFace::Glyph> glyphs;
                std::vector<int> widths;
                for (char32_t c = 32; c < 127; ++c) {
                    glyphs.push_back(face.render(c));
                    widths.push_back(std::max(1, glyphs.back().advance));
                }
                int sheetH = 0;
                const std::vector<Cell> cells = packCells(widths, h, 256, sheetH);
                if (sheetH > 256) fail(sizesValue, set + ": glyphs of " + std::to_string(sizes[static_cast<std::size_t>(s)]) + " px do not fit 256 x 256");
                std::vector<std::uint8_t> indices(static_cast<std::size_t>(256) * sheetH, 0);
                std::vector<std::uint8_t> cor;
                for (std::size_t i = 0; i < glyphs.size(); ++i) {
                    const FontFace::Glyph& g = glyphs[i];
                    for (int y = 0; y < g.rows; ++y)
                        for (int x = 0; x < g.width; ++x) {
                            const int px = cells[i].x + g.left + x, py = cells[i].y + asc - g.top + y;
                            if (px < cells[i].x || px >= cells[i].x + widths[i] || py < cells[i].y || py >= cells[i].y + h) continue;
                            const int level = (g.coverage[static_cast<std::size_t>(y) * g.width + x] + 8) / 17;
                            auto& d = indices[static_cast<std::size_t>(py) * 256 + px];
                            d = static_cast<std::uint8_t>(std::max<int>(d, level));
                        }
                    cor.insert(cor.end(), {0, 0, static_cast<std::uint8_t>(widths[i]), static_cast<std::uint8_t>(h),
                                           static_cast<std::uint8_t>(cells[i].x - 128), static_cast<std::uint8_t>(cells[i].y - 128)});
                }
                // Sixteen black entries, index 0 clear and the rest a coverage
                // ramp: every glyph pixel is black, so recolouring finds it.
                std::vector<std::uint32_t> rgb(16, 0);
                std::vector<std::uint8_t> alpha(16);
                for (int i = 0; i < 16; ++i) alpha[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 17);
                const std::string base = "TarvokinEmuFonts/" + set + "/" + kSizes[s] + (b ? "_bold" : "_plain");
                files[base + ".cor"] = cor;
                files[base + ".png"] = writePngIndexed(256, sheetH, indices, rgb, alpha);
            }
    }
    return files;
}

}  // namespace content
