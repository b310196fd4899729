// The screen context's back end in OpenGL mode: rectangles, lines, images
// (also mirrored regions), pixel blocks and text go to GLMaster (see
// TarvokinEmu/gl/GLMaster.h) under a scissor that follows the clip. The
// shapes the renderer lacks (triangles, polygons, arcs, round rectangles,
// rotated regions) print "TODO: <operation>" on standard error and draw
// nothing. Clip and translation work as in the software back end.
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
    void fillTriangle(int, int, int, int, int, int) override;
    void fillPolygon(const int*, const int*, int, std::uint32_t) override;
    void drawPolygon(const int*, const int*, int, std::uint32_t) override;
    void drawArc(int, int, int, int, int, int) override;
    void fillArc(int, int, int, int, int, int) override;
    void drawRoundRect(int, int, int, int, int, int) override;
    void fillRoundRect(int, int, int, int, int, int) override;

    void drawImage(const Image& image, int x, int y) override;
    void drawRegion(const Image& image, int xSrc, int ySrc, int width, int height, int transform, int x,
                    int y) override;
    void drawRGB(std::span<const std::int32_t> rgb, int offset, int scanlength, int x, int y, int width, int height,
                 bool processAlpha) override;
    void drawFallbackString(std::string_view s, int x, int baselineY) override;

private:
    void applyClip(const platform::Rect& clip);
    // (x, y) translated, wrapping like the handset's ints.
    int tx(int x) const;
    int ty(int y) const;

    int width_, height_;
    int translateX_ = 0, translateY_ = 0;
    platform::Rect clip_;
    std::uint32_t colour_ = 0xFFFFFFFFu;
};

}  // namespace javax::microedition::lcdui
