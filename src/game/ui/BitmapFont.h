// The game's text font. Either a glyph picture with a glyph table read from
// a font resource (picture mode: every glyph is drawn clipped to its own
// cell), or a wrapper around a handset font that can draw a one-pixel
// outline (platform mode). Texts are UTF-8 and walked by code point; a
// character without a glyph is measured and drawn as the space glyph, and
// as nothing at all in a font without one.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "game/GameFont.h"

namespace javax::microedition::lcdui {
class Font;
class Graphics;
class Image;
}  // namespace javax::microedition::lcdui

namespace game {

class BitmapFont final : public GameFont {
public:
    using Graphics = javax::microedition::lcdui::Graphics;
    using Image = javax::microedition::lcdui::Image;
    using Font = javax::microedition::lcdui::Font;

    static constexpr int kNoOutline = -1;

    // Picture mode from the glyph table resource (see format/GameFontData.h).
    // Throws java::io::EOFException when the table ends early and
    // IllegalArgumentException when its runs do not add up to its glyphs.
    BitmapFont(std::shared_ptr<Image> image, std::span<const std::uint8_t> table);
    // Platform mode; outlineColour kNoOutline for plain text.
    BitmapFont(std::shared_ptr<Font> font, int outlineColour);
    // Picture mode from the packs: glyph picture imageId, table tableId.
    // Throws as the constructor, and java::io::IOException when either is
    // missing or the picture does not decode.
    static std::shared_ptr<BitmapFont> load(int imageId, int tableId);

    // ascent + descent; platform mode: the font's height, + 2 when outlined.
    int height() const override;
    int stringWidth(std::string_view text) const override;
    // Draws with Graphics anchors; VCENTER draws nothing in picture mode.
    void drawString(Graphics& g, std::string_view text, int x, int y, int anchor) const override;

    // Glyph index of ch, or -1.
    int glyphOf(char32_t ch) const;
    // Glyph of ch, else of the space, else -1.
    int glyphOrSpace(char32_t ch) const;
    // What one character adds to a line: its glyph's advance plus the
    // letter spacing (0 without any glyph); platform mode: the font's width.
    int charWidth(char32_t ch) const;

    bool pictureMode() const { return image_ != nullptr; }
    bool outlined() const { return outlineColour_ != kNoOutline; }
    int spacing() const { return spacing_; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int glyphCount() const { return static_cast<int>(advance_.size()); }
    int advanceOf(int glyph) const { return advance_.at(static_cast<std::size_t>(glyph)); }
    // Platform mode's text colour (black unless set).
    void setTextColour(int colour) { textColour_ = colour; }
    const std::shared_ptr<Font>& platformFont() const { return font_; }

private:
    void insert(char32_t code, int glyph);

    std::shared_ptr<Image> image_;
    std::shared_ptr<Font> font_;
    int textColour_ = 0;
    int outlineColour_ = kNoOutline;
    int spacing_ = 0, ascent_ = 0, descent_ = 0;
    std::vector<int> srcX_, srcY_, advance_, glyphHeight_, glyphTop_;
    // Open addressing: (code << 16) | glyph, 0 for an empty cell.
    std::vector<std::uint32_t> index_;
};

}  // namespace game
