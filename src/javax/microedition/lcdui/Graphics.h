// The drawing context of a picture: records clip, colour, translation and
// font, resolves anchors, and hands the pixel work to its back end (the
// software raster, see GraphicsBackend.h).
//
// Colours are ARGB ints. The recorded colour keeps all 32 bits as given;
// what is drawn is always its RGB part, opaque.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "javax/microedition/lcdui/GraphicsBackend.h"
#include "platform/Picture.h"

namespace javax::microedition::lcdui {

class Font;
class Image;

class Graphics {
public:
    static constexpr int HCENTER = 1;
    static constexpr int VCENTER = 2;
    static constexpr int LEFT = 4;
    static constexpr int RIGHT = 8;
    static constexpr int TOP = 16;
    static constexpr int BOTTOM = 32;
    static constexpr int BASELINE = 64;
    static constexpr int SOLID = 0;
    static constexpr int DOTTED = 1;

    // drawRegion transforms.
    static constexpr int TRANS_NONE = 0;
    static constexpr int TRANS_MIRROR_ROT180 = 1;
    static constexpr int TRANS_MIRROR = 2;
    static constexpr int TRANS_ROT180 = 3;
    static constexpr int TRANS_MIRROR_ROT270 = 4;
    static constexpr int TRANS_ROT90 = 5;
    static constexpr int TRANS_ROT270 = 6;
    static constexpr int TRANS_MIRROR_ROT90 = 7;

    // A context drawing into target with the software back end: clip is the
    // whole picture, colour white, no translation, the default font.
    explicit Graphics(std::shared_ptr<platform::Picture> target);
    // The same state over any back end; width and height give the clip.
    Graphics(std::unique_ptr<GraphicsBackend> backend, int width, int height);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // Replaces the surface; the recorded clip, colour, translation and font
    // stay as they were (Image::getGraphics).
    void attachBackend(std::unique_ptr<GraphicsBackend> backend);
    GraphicsBackend& backend() { return *backend_; }

    // Horizontal and vertical offsets of an anchored box of size w x h.
    static int anchorOffsetX(int anchor, int width);
    static int anchorOffsetY(int anchor, int height);

    void setColor(int rgb);
    // Stores the colour, then throws java::lang::IllegalArgumentException
    // when a component is outside 0..255.
    void setColor(int red, int green, int blue);
    int getColor() const { return color_; }
    int getRedComponent() const { return 0; }
    int getGreenComponent() const { return 0; }
    int getBlueComponent() const { return 0; }
    int getGrayScale() const { return 0; }
    int getDisplayColor(int) const { return 0; }
    int getStrokeStyle() const { return 0; }
    void setGrayScale(int) {}
    void setStrokeStyle(int) {}

    // Null selects the default font.
    void setFont(std::shared_ptr<Font> font);
    const std::shared_ptr<Font>& getFont() const { return font_; }

    void translate(int dx, int dy);
    int getTranslateX() const { return translateX_; }
    int getTranslateY() const { return translateY_; }

    void setClip(int x, int y, int width, int height);
    // Narrows the surface clip; getClipX() and the others keep the values of
    // the last setClip.
    void clipRect(int x, int y, int width, int height);
    int getClipX() const { return clipX_; }
    int getClipY() const { return clipY_; }
    int getClipWidth() const { return clipWidth_; }
    int getClipHeight() const { return clipHeight_; }

    void fillRect(int x, int y, int width, int height) { backend_->fillRect(x, y, width, height); }
    void drawRect(int x, int y, int width, int height) { backend_->drawRect(x, y, width, height); }
    void drawLine(int x1, int y1, int x2, int y2) { backend_->drawLine(x1, y1, x2, y2); }
    void fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3) {
        backend_->fillTriangle(x1, y1, x2, y2, x3, y3);
    }
    void drawArc(int x, int y, int width, int height, int startAngle, int arcAngle) {
        backend_->drawArc(x, y, width, height, startAngle, arcAngle);
    }
    void fillArc(int x, int y, int width, int height, int startAngle, int arcAngle) {
        backend_->fillArc(x, y, width, height, startAngle, arcAngle);
    }
    void drawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
        backend_->drawRoundRect(x, y, width, height, arcWidth, arcHeight);
    }
    void fillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
        backend_->fillRoundRect(x, y, width, height, arcWidth, arcHeight);
    }

    // A null image throws java::lang::NullPointerException.
    void drawImage(const std::shared_ptr<Image>& image, int x, int y, int anchor);
    void drawRegion(const std::shared_ptr<Image>& src, int xSrc, int ySrc, int width, int height, int transform,
                    int xDest, int yDest, int anchor);
    // rgb holds ARGB ints; the block's row r starts at
    // rgb[offset + r * scanlength]. A block reaching outside rgb throws
    // java::lang::ArrayIndexOutOfBoundsException.
    void drawRGB(std::span<const std::int32_t> rgb, int offset, int scanlength, int x, int y, int width, int height,
                 bool processAlpha);

    // Text in the current font and colour, anchored on the font's height and
    // the string's width; the text hangs below y for TOP and BASELINE.
    void drawString(std::string_view s, int x, int y, int anchor);
    void drawString(std::nullptr_t, int, int, int) {}  // a null string draws nothing
    void drawSubstring(std::string_view, int, int, int, int, int) {}
    void drawChar(char16_t, int, int, int) {}
    void drawChars(std::span<const char16_t>, int, int, int, int, int) {}
    void copyArea(int, int, int, int, int, int, int) {}

private:
    int clipX_ = 0, clipY_ = 0, clipWidth_ = 0, clipHeight_ = 0;
    int color_ = 0xFFFFFF;
    int translateX_ = 0, translateY_ = 0;
    std::unique_ptr<GraphicsBackend> backend_;
    std::shared_ptr<Font> font_;
};

}  // namespace javax::microedition::lcdui
