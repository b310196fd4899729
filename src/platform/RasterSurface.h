// The software 2D surface: draws into an ARGB picture with its own clip,
// translation and colour. Nothing is antialiased; the drawing colour is
// opaque unless set with its alpha (setARGBColor), and then every shape is
// blended with it; images are composited source-over with their alpha.
//
// Pixel rules (coordinates are translated first, every pixel is clipped):
// - fillRect(x, y, w, h): x..x+w-1 by y..y+h-1, nothing when w or h <= 0;
// - drawRect(x, y, w, h): the border of x..x+w by y..y+h, nothing when w or
//   h < 0;
// - drawLine: the pixels of the one-pixel line, both end points included;
//   the minor coordinate is the exact one rounded half up, so a line and
//   its reverse set the same pixels;
// - polygons and triangles: a pixel is set when its centre lies inside
//   (even-odd), with the half-open rule on edges (left and top edges in,
//   right and bottom edges out), so polygons sharing an edge never overlap;
// - filled arcs and round rectangles: the pixel centres inside the ellipse
//   (and the pie slice); outlines of arcs and round rectangles cover w+1 by
//   h+1 pixels like drawRect. Angles are degrees counter-clockwise from 3
//   o'clock, measured on the ellipse's bounding box (45 degrees always
//   points at the box's upper right corner).
//
// All arithmetic is safe for any int argument: work is bounded by the clip,
// never by the size asked for.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Picture.h"

namespace platform {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const Rect&) const = default;
};

// Pixels to draw from; stride in pixels.
struct PixelSource {
    const std::uint32_t* pixels = nullptr;
    int width = 0, height = 0, stride = 0;
    // Every pixel has alpha 255: blits become copies.
    bool opaque = false;

    static PixelSource of(const Picture& p) { return {p.pixels.data(), p.width, p.height, p.width, p.opaque}; }
};

enum class Flip : int { None = 0, Horizontal = 1, Vertical = 2, Both = 3 };

class RasterSurface {
public:
    static constexpr std::uint32_t kDefaultColor = 0xFFFFFFFFu;

    // A surface without a target draws nothing.
    RasterSurface() = default;
    // Starts with the whole picture as clip, no translation and opaque white.
    explicit RasterSurface(std::shared_ptr<Picture> target);

    Picture* target() const { return target_.get(); }

    void translate(int dx, int dy);
    int translateX() const { return tx_; }
    int translateY() const { return ty_; }

    // In user coordinates (the translation applies). A negative size makes
    // an empty clip.
    void setClip(int x, int y, int width, int height);
    void clipRect(int x, int y, int width, int height);
    // The clip in device coordinates, always inside the picture; for saving
    // and restoring it around a drawing.
    Rect deviceClip() const { return clip_; }
    void setDeviceClip(const Rect& clip);

    // The RGB part of rgb, opaque.
    void setColor(std::uint32_t rgb) { color_ = 0xFF000000u | (rgb & 0xFFFFFFu); }
    // argb as it is: shapes drawn with a translucent colour are blended.
    void setARGBColor(std::uint32_t argb) { color_ = argb; }
    std::uint32_t color() const { return color_; }

    void fillRect(int x, int y, int width, int height);
    void drawRect(int x, int y, int width, int height);
    void drawLine(int x1, int y1, int x2, int y2);
    // The one-pixel outline through the points, closed back to the first,
    // in argb; every pixel is blended once, shared corners included.
    void drawPolygon(const int* xs, const int* ys, int count, std::uint32_t argb);
    void fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3);
    // argb with its alpha: translucent colours are blended source-over.
    void fillPolygon(const int* xs, const int* ys, int count, std::uint32_t argb);
    void drawArc(int x, int y, int width, int height, int startAngle, int arcAngle);
    void fillArc(int x, int y, int width, int height, int startAngle, int arcAngle);
    void drawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight);
    void fillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight);

    void drawImage(const PixelSource& src, int x, int y);
    // The width by height region at (sx, sy) of src with its top-left corner
    // at (x, y), flipped as asked; region pixels outside src are not drawn.
    void drawRegion(const PixelSource& src, int sx, int sy, int width, int height, Flip flip, int x, int y);

private:
    // Spans in device coordinates, already clipped.
    void span(int y, int x0, int x1, std::uint32_t argb);
    void plot(std::int64_t x, std::int64_t y);
    // Calls put(x, y) for the pixels of the line (device coordinates) that
    // lie in the clip.
    template <typename Put>
    void walkLine(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by, Put put) const;
    void fillSpanClipped(std::int64_t y, std::int64_t x0, std::int64_t x1, std::uint32_t argb);
    void fillPolygonDevice(const std::int64_t* xs, const std::int64_t* ys, int count, std::uint32_t argb);
    template <typename Filter>
    void outlineEllipse(double cx, double cy, double a, double b, Filter keep);

    std::shared_ptr<Picture> target_;
    Rect clip_;
    int tx_ = 0, ty_ = 0;
    std::uint32_t color_ = kDefaultColor;
};

}  // namespace platform
