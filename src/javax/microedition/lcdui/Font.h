// Handset fonts: six shared fonts (small, medium, large; plain, bold),
// looked up by style and size. Metrics and glyph drawing come from the
// runtime's bitmap font files; until those are loaded a font measures 0 and
// draws nothing.
#pragma once

#include <memory>
#include <string_view>

namespace javax::microedition::lcdui {

class GraphicsBackend;

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
    int charWidth(char16_t c) const;
    int stringWidth(std::string_view s) const;

    // Draws s with its top-left corner at (x, y) (already anchored) in
    // colour, the drawing context's colour with all 32 bits.
    void drawString(GraphicsBackend& target, std::string_view s, int x, int y, int colour) const;

    Font(int style, int size) : style_(style), size_(size) {}

private:
    int style_ = STYLE_PLAIN;
    int size_ = SIZE_MEDIUM;
};

}  // namespace javax::microedition::lcdui
