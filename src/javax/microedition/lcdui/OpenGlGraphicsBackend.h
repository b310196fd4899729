// The screen context's back end in OpenGL mode: rectangles, lines, images
// (also mirrored regions), pixel blocks and text go to GLMaster (see
// TarvokinEmu/gl/GLMaster.h) under a scissor that follows the clip. The
// shapes GL has no exact primitive for (triangles, polygons, arcs, round
// rectangles, turned regions) are rasterised by the software raster into a
// clear picture of their box within the clip and drawn as a texture, so
// they cover the same pixels in both modes. Clip and translation work as in
// the software back end.
#pragma once

#include "javax/microedition/lcdui/GraphicsBackend.h"

namespace javax::microedition::lcdui {

class OpenGlGraphicsBackend : public GraphicsBackend {
public:
    // For a width x height phone screen.
    OpenGlGraphicsBackend(int width, int height);

    void setColor(int argb) override;
    void setARGBColor(std::uint32_t argb) override;
    std::uint32_t color() const override { return colour_; }
    void translate(int dx, int dy) override;
    void setClip(int x, int y, int width, int height) override;
    void clipRect(int x, int y, int width, int height) override;
    platform::Rect saveClip() const override { return clip_; }
    void restoreClip(const platform::Rect& clip) override;

    void fillRect(int x, int y, int width, int height) override;
    void drawRect(int x, int y, int width, int height) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3) override;
    void fillPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) override;
    void drawPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) override;
    void drawArc(int x, int y, int width, int height, int startAngle, int arcAngle) override;
    void fillArc(int x, int y, int width, int height, int startAngle, int arcAngle) override;
    void drawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) override;
    void fillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) override;

    void drawImage(const Image& image, int x, int y) override;
    void drawRegion(const Image& image, int xSrc, int ySrc, int width, int height, int transform, int x,
                    int y) override;
    void drawRGB(std::span<const std::int32_t> rgb, int offset, int scanlength, int x, int y, int width, int height,
                 bool processAlpha) override;
    void drawFallbackString(std::string_view s, int x, int baselineY) override;

private:
    void applyClip(const platform::Rect& clip);
    // [x0, x1) x [y0, y1) in user coordinates.
    struct Box {
        std::int64_t x0, y0, x1, y1;
    };
    static Box boxOf(int x, int y, int width, int height);
    static Box boxOf(const int* xs, const int* ys, int count);
    // Runs paint on a software surface over shape's box cut to the clip, in
    // the opaque colour of argb, and draws the pixels it covered in argb.
    template <typename Paint>
    void rasterise(const Box& shape, std::uint32_t argb, Paint paint);
    // (x, y) translated, wrapping like the handset's ints.
    int tx(int x) const;
    int ty(int y) const;

    int width_, height_;
    int translateX_ = 0, translateY_ = 0;
    platform::Rect clip_;
    std::uint32_t colour_ = 0xFFFFFFFFu;
};

}  // namespace javax::microedition::lcdui
