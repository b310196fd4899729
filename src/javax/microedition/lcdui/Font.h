// Handset fonts: six shared fonts (small, medium, large; plain, bold),
// looked up by style and size. Glyphs come from the runtime's bitmap font
// files under "TarvokinEmuFonts/<set>/", loaded once per process: a metrics
// file (FontFile.h) and a palette PNG sheet per font. Coloured text
// recolours the sheet's palette; a font without files measures and draws
// with the embedded fallback font (FallbackFont.h).
//
// Drawing changes the colour cache without locking: text is drawn from the
// frame thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "javax/microedition/lcdui/FontFile.h"

namespace javax::microedition::lcdui {

class GraphicsBackend;
class Image;

class Font {
public:
    static constexpr int FACE_SYSTEM = 0;
    static constexpr int FACE_MONOSPACE = 32;
    static constexpr int FACE_PROPORTIONAL = 64;
    static constexpr int STYLE_PLAIN = 0;
    static constexpr int STYLE_BOLD = 1;
    static constexpr int STYLE_ITALIC = 2;
    static constexpr int STYLE_UNDERLINED = 4;
    static constexpr int SIZE_SMALL = 8;
    static constexpr int SIZE_MEDIUM = 0;
    static constexpr int SIZE_LARGE = 16;
    static constexpr int FONT_STATIC_TEXT = 0;
    static constexpr int FONT_INPUT_TEXT = 1;

    static constexpr int kCacheSize = 16;
    // The fallback font's line height.
    static constexpr int kFallbackHeight = 12;

    // The face is ignored; unknown style and size combinations give small
    // plain.
    static std::shared_ptr<Font> getFont(int face, int style, int size);
    static std::shared_ptr<Font> getFont(int fontSpecifier);
    // Medium plain.
    static std::shared_ptr<Font> getDefaultFont();

    int getFace() const { return FACE_SYSTEM; }
    int getStyle() const { return style_; }
    int getSize() const { return size_; }
    bool isPlain() const { return (style_ & STYLE_BOLD) == 0; }
    bool isBold() const { return (style_ & STYLE_BOLD) != 0; }
    bool isItalic() const { return (style_ & STYLE_ITALIC) != 0; }
    bool isUnderlined() const { return (style_ & STYLE_UNDERLINED) != 0; }

    int getHeight() const;
    int getBaselinePosition() const;
    int charWidth(char32_t c) const;
    // Text is UTF-8; characters without a metrics record count 0.
    int stringWidth(std::string_view s) const;
    // Offsets and lengths count characters; a range outside s throws
    // java::lang::StringIndexOutOfBoundsException.
    int substringWidth(std::string_view s, int offset, int length) const;
    // A range outside ch throws java::lang::ArrayIndexOutOfBoundsException.
    int charsWidth(const std::vector<char32_t>& ch, int offset, int length) const;

    // Draws s with its top-left corner at (x, y) (already anchored) in
    // colour, the drawing context's colour with all 32 bits.
    void drawString(GraphicsBackend& target, std::string_view s, int x, int y, int colour);

    // Whether the glyph sheet loaded (otherwise the fallback serves).
    bool hasSheet() const { return sheet_ != nullptr; }
    const FontMetrics& metrics() const { return metrics_; }
    const std::shared_ptr<Image>& currentSheet() const { return sheet_; }
    int cacheCursor() const { return cursor_; }
    int cacheColour(int entry) const { return cacheColours_.at(entry); }

    // A font outside the shared six, made from the given file contents as the
    // loader makes each of them (tests and fuzzing).
    static std::shared_ptr<Font> fromFiles(int style, int size, std::optional<std::vector<std::uint8_t>> metrics,
                                           std::optional<std::vector<std::uint8_t>> sheet);

    // Forgets the six fonts so the next lookup loads the files again (tests).
    static void resetClassState();

    Font(int style, int size) : style_(style), size_(size) {}

private:
    friend struct FontLoader;
    void takeFiles(std::optional<std::vector<std::uint8_t>> metrics, std::optional<std::vector<std::uint8_t>> sheet);
    int widthOf(const std::vector<char32_t>& codes, std::size_t from, std::size_t count) const;
    // The sheet recoloured for colour, from the cache or made now; null when
    // recolouring failed.
    std::shared_ptr<Image> sheetFor(int colour);

    int style_ = STYLE_PLAIN;
    int size_ = SIZE_MEDIUM;
    std::shared_ptr<Image> sheet_;
    std::vector<std::uint8_t> sheetData_;
    FontMetrics metrics_;
    std::array<std::shared_ptr<Image>, kCacheSize> cache_{};
    std::array<int, kCacheSize> cacheColours_{};
    int cursor_ = 0;
    int height_ = 0;
};

}  // namespace javax::microedition::lcdui
