#include "game/ui/BitmapFont.h"

#include <algorithm>

#include "game/MainCanvas.h"
#include "game/format/GameFontData.h"
#include "game/format/PackFile.h"
#include "game/ui/CodePoints.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Font.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game {

namespace {
std::uint32_t hashOf(char32_t ch) {
    const std::uint32_t c = static_cast<std::uint32_t>(ch);
    return (c + 0x1234u) * (c + 0x4321u);  // wraps by design
}
}  // namespace

BitmapFont::BitmapFont(std::shared_ptr<Image> image, std::span<const std::uint8_t> table) : image_(std::move(image)) {
    const format::GameFont data = format::GameFontData::decode(table);
    spacing_ = data.spacing;
    ascent_ = data.ascent;
    descent_ = data.descent;
    const std::size_t n = data.glyphs.size();
    std::size_t cap = 1;
    while (cap < n * 4 / 3) cap <<= 1;
    index_.assign(cap, 0);
    srcX_.resize(n);
    srcY_.resize(n);
    advance_.resize(n);
    glyphHeight_.resize(n);
    glyphTop_.resize(n);
    // Inserted in file order (the last glyph first), so that of two records
    // for one code the one read first is found.
    for (std::size_t k = n; k-- > 0;) {
        const format::GameGlyph& glyph = data.glyphs[k];
        srcX_[k] = glyph.srcX;
        srcY_[k] = glyph.srcY;
        advance_[k] = glyph.advance;
        glyphHeight_[k] = glyph.height;
        glyphTop_[k] = glyph.top;
        insert(static_cast<char32_t>(glyph.code), static_cast<int>(k));
    }
}

BitmapFont::BitmapFont(std::shared_ptr<Font> font, int outlineColour)
    : font_(std::move(font)), outlineColour_(outlineColour) {
    if (!font_) font_ = Font::getDefaultFont();
}

std::shared_ptr<BitmapFont> BitmapFont::load(int imageId, int tableId) {
    auto image = MainCanvas::loadImage(imageId);
    if (!image) throw java::io::IOException("glyph picture " + format::PackFile::idText(imageId) + " does not decode");
    const auto table = MainCanvas::resourceBytes(tableId);
    if (!table) throw java::io::IOException("no glyph table");
    return std::make_shared<BitmapFont>(std::move(image), *table);
}

void BitmapFont::insert(char32_t code, int glyph) {
    const std::size_t cap = index_.size();
    std::uint32_t h = hashOf(code);
    for (std::size_t probe = 0; probe < cap; ++probe, ++h) {
        std::uint32_t& cell = index_[h & (cap - 1)];
        if (cell == 0) {
            cell = static_cast<std::uint32_t>(code) << 16 | static_cast<std::uint32_t>(glyph);
            return;
        }
    }
    // A full table leaves the glyph out.
}

int BitmapFont::glyphOf(char32_t ch) const {
    if (index_.empty() || ch > 0xFFFF) return -1;
    const std::size_t cap = index_.size();
    std::uint32_t h = hashOf(ch);
    for (std::size_t probe = 0; probe < cap; ++probe, ++h) {
        const std::uint32_t cell = index_[h & (cap - 1)];
        if (cell == 0) return -1;
        if ((cell >> 16) == ch) return static_cast<int>(cell & 0xFFFF);
    }
    return -1;
}

int BitmapFont::glyphOrSpace(char32_t ch) const {
    const int glyph = glyphOf(ch);
    return glyph != -1 ? glyph : glyphOf(U' ');
}

int BitmapFont::height() const {
    if (image_) return ascent_ + descent_;
    return font_->getHeight() + (outlined() ? 2 : 0);
}

int BitmapFont::charWidth(char32_t ch) const {
    if (!image_) return font_->charWidth(ch);
    const int glyph = glyphOrSpace(ch);
    return glyph < 0 ? 0 : advance_[static_cast<std::size_t>(glyph)] + spacing_;
}

int BitmapFont::stringWidth(std::string_view text) const {
    if (!image_) return font_->stringWidth(text) + (outlined() ? 2 : 0);
    int width = 0;
    for (const auto& c : CodePoints::of(text)) width += charWidth(c.code);
    // The last glyph's negative spacing does not shrink the text.
    if (spacing_ < 0 && !text.empty()) width -= spacing_;
    return width;
}

void BitmapFont::drawString(Graphics& g, std::string_view text, int x, int y, int anchor) const {
    if (!image_) {
        g.setFont(font_);
        const int colour = g.getColor();
        if (outlined()) {
            if (anchor & Graphics::LEFT) x += 1;
            if (anchor & Graphics::RIGHT) x -= 1;
            if (anchor & Graphics::TOP) y += 1;
            if (anchor & Graphics::BOTTOM) y -= 1;
            g.setColor(outlineColour_);
            g.drawString(text, x, y - 1, anchor);
            g.drawString(text, x - 1, y, anchor);
            g.drawString(text, x + 1, y, anchor);
            g.drawString(text, x, y + 1, anchor);
        }
        g.setColor(textColour_);
        g.drawString(text, x, y, anchor);
        g.setColor(colour);
        return;
    }
    if (anchor & Graphics::VCENTER) return;
    int pen = x;
    if (anchor & Graphics::HCENTER)
        pen = x - (stringWidth(text) >> 1);
    else if (anchor & Graphics::RIGHT)
        pen = x - stringWidth(text);
    int baseline = y;
    if (anchor & Graphics::TOP)
        baseline = y + ascent_;
    else if (anchor & Graphics::BOTTOM)
        baseline = y - descent_;

    const int clipX = g.getClipX(), clipY = g.getClipY();
    const int clipRight = clipX + g.getClipWidth(), clipBottom = clipY + g.getClipHeight();
    for (const auto& c : CodePoints::of(text)) {
        const int glyph = glyphOrSpace(c.code);
        if (glyph < 0) continue;
        const auto i = static_cast<std::size_t>(glyph);
        const int advance = advance_[i];
        if (c.code != U' ') {
            const int top = baseline - glyphTop_[i];
            const int left = std::max(pen, clipX), upper = std::max(top, clipY);
            const int right = std::min(pen + advance, clipRight), lower = std::min(top + glyphHeight_[i], clipBottom);
            g.setClip(left, upper, std::max(right - left, 0), std::max(lower - upper, 0));
            g.drawImage(image_, pen - srcX_[i], top - srcY_[i], Graphics::TOP | Graphics::LEFT);
        }
        pen += advance + spacing_;
    }
    g.setClip(clipX, clipY, clipRight - clipX, clipBottom - clipY);
}

}  // namespace game
