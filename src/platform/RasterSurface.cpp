#include "platform/RasterSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "platform/RasterKernels.h"

namespace platform {

namespace {

using i64 = std::int64_t;
// Coordinates are int plus a translation, so products of two differences
// need more than 64 bits.
using i128 = __int128;

i64 floorDiv(i128 n, i128 d) {  // d > 0
    i128 q = n / d;
    if (n % d != 0 && n < 0) --q;
    return static_cast<i64>(q);
}

i64 ceilDiv(i128 n, i128 d) { return -floorDiv(-n, d); }  // d > 0

// Points of a curve round to the nearest pixel, ties toward the curve's
// centre, so that shapes stay symmetric about their centre.
i64 roundUpOnTie(double v) { return static_cast<i64>(std::floor(v + 0.5)); }
i64 roundDownOnTie(double v) { return static_cast<i64>(std::ceil(v - 0.5)); }

// Degrees counter-clockwise from 3 o'clock, on the unit circle of the
// ellipse (u right, v up).
class Sector {
public:
    Sector(int startAngle, int arcAngle) {
        i64 start = startAngle, arc = arcAngle;
        if (arc < 0) {
            start += arc;
            arc = -arc;
        }
        full_ = arc >= 360;
        start_ = static_cast<double>(((start % 360) + 360) % 360);
        sweep_ = static_cast<double>(arc);
    }
    bool full() const { return full_; }
    bool contains(double u, double v) const {
        if (full_) return true;
        double theta = std::atan2(v, u) * (180.0 / std::numbers::pi);
        double d = theta - start_;
        while (d < 0) d += 360.0;
        while (d >= 360.0) d -= 360.0;
        return d <= sweep_ + 1e-9;
    }

private:
    bool full_ = false;
    double start_ = 0, sweep_ = 0;
};

}  // namespace

RasterSurface::RasterSurface(std::shared_ptr<Picture> target) : target_(std::move(target)) {
    if (target_) clip_ = {0, 0, target_->width, target_->height};
}

void RasterSurface::translate(int dx, int dy) {
    // Wraps like the handset's int arithmetic.
    tx_ = static_cast<int>(static_cast<std::uint32_t>(tx_) + static_cast<std::uint32_t>(dx));
    ty_ = static_cast<int>(static_cast<std::uint32_t>(ty_) + static_cast<std::uint32_t>(dy));
}

namespace {

Rect intersect(i64 x, i64 y, i64 w, i64 h, const Rect& bounds) {
    if (w < 0 || h < 0) return {bounds.x, bounds.y, 0, 0};
    const i64 x0 = std::max<i64>(x, bounds.x), y0 = std::max<i64>(y, bounds.y);
    const i64 x1 = std::min<i64>(x + w, i64{bounds.x} + bounds.width);
    const i64 y1 = std::min<i64>(y + h, i64{bounds.y} + bounds.height);
    if (x1 <= x0 || y1 <= y0) return {bounds.x, bounds.y, 0, 0};
    return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
}

}  // namespace

void RasterSurface::setClip(int x, int y, int width, int height) {
    if (!target_) return;
    clip_ = intersect(i64{x} + tx_, i64{y} + ty_, width, height, {0, 0, target_->width, target_->height});
}

void RasterSurface::clipRect(int x, int y, int width, int height) {
    if (!target_) return;
    clip_ = intersect(i64{x} + tx_, i64{y} + ty_, width, height, clip_);
}

void RasterSurface::setDeviceClip(const Rect& clip) {
    if (!target_) return;
    clip_ = intersect(clip.x, clip.y, clip.width, clip.height, {0, 0, target_->width, target_->height});
}

// --- spans and points ---------------------------------------------------------

void RasterSurface::span(int y, int x0, int x1, std::uint32_t argb) {
    std::uint32_t* row = target_->pixels.data() + static_cast<std::size_t>(y) * target_->width;
    if ((argb >> 24) == 255) raster::fillRow(row + x0, x1 - x0, argb);
    else raster::blendFillRow(row + x0, x1 - x0, argb);
}

void RasterSurface::fillSpanClipped(i64 y, i64 x0, i64 x1, std::uint32_t argb) {
    if (y < clip_.y || y >= i64{clip_.y} + clip_.height) return;
    x0 = std::max<i64>(x0, clip_.x);
    x1 = std::min<i64>(x1, i64{clip_.x} + clip_.width);
    if (x0 < x1) span(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1), argb);
}

void RasterSurface::plot(i64 x, i64 y) {
    if (x < clip_.x || y < clip_.y || x >= i64{clip_.x} + clip_.width || y >= i64{clip_.y} + clip_.height) return;
    std::uint32_t& p = target_->pixels[static_cast<std::size_t>(y) * target_->width + static_cast<std::size_t>(x)];
    p = (color_ >> 24) == 255 ? color_ : raster::blendPixel(p, color_);
}

// --- rectangles and lines --------------------------------------------------------

void RasterSurface::fillRect(int x, int y, int width, int height) {
    if (!target_ || width <= 0 || height <= 0) return;
    const Rect r = intersect(i64{x} + tx_, i64{y} + ty_, width, height, clip_);
    if (r.empty()) return;
    std::uint32_t* first = target_->pixels.data() + static_cast<std::size_t>(r.y) * target_->width + r.x;
    if ((color_ >> 24) == 255) return raster::fillRect(first, target_->width, r.width, r.height, color_);
    for (int row = 0; row < r.height; ++row)
        raster::blendFillRow(first + static_cast<std::size_t>(row) * target_->width, r.width, color_);
}

void RasterSurface::drawRect(int x, int y, int width, int height) {
    if (!target_ || width < 0 || height < 0 || clip_.empty()) return;
    const i64 X = i64{x} + tx_, Y = i64{y} + ty_;
    fillSpanClipped(Y, X, X + width + 1, color_);
    if (height > 0) fillSpanClipped(Y + height, X, X + width + 1, color_);
    const i64 j0 = std::max<i64>(Y + 1, clip_.y), j1 = std::min<i64>(Y + height - 1, i64{clip_.y} + clip_.height - 1);
    for (i64 j = j0; j <= j1; ++j) {
        plot(X, j);
        plot(X + width, j);
    }
}

template <typename Put>
void RasterSurface::walkLine(i64 ax, i64 ay, i64 bx, i64 by, Put put) const {
    const bool xMajor = std::llabs(bx - ax) >= std::llabs(by - ay);
    // Walk the major axis upwards; minor = a + floor((2 d t + D) / 2D),
    // which is the exact position rounded half up.
    i64 a0 = xMajor ? ax : ay, b0 = xMajor ? ay : ax, a1 = xMajor ? bx : by, b1 = xMajor ? by : bx;
    if (a1 < a0) {
        std::swap(a0, a1);
        std::swap(b0, b1);
    }
    const i64 da = a1 - a0, db = b1 - b0;
    if (da == 0) {
        if (ax >= clip_.x && ay >= clip_.y && ax < i64{clip_.x} + clip_.width && ay < i64{clip_.y} + clip_.height)
            put(ax, ay);
        return;
    }
    const i64 lo = xMajor ? clip_.x : clip_.y, hi = lo + (xMajor ? clip_.width : clip_.height) - 1;
    const i64 t0 = std::max<i64>(a0, lo) - a0, t1 = std::min<i64>(a1, hi) - a0;
    if (t0 > t1) return;
    const i64 D = 2 * da, step = 2 * db;
    const i128 num = i128{step} * t0 + da;
    i64 q = floorDiv(num, D), r = static_cast<i64>(num - i128{q} * D);
    const i64 stepQ = floorDiv(step, D), stepR = step - stepQ * D;
    const i64 minorLo = xMajor ? clip_.y : clip_.x, minorHi = minorLo + (xMajor ? clip_.height : clip_.width);
    for (i64 t = t0; t <= t1; ++t) {
        const i64 minor = b0 + q;
        if (minor >= minorLo && minor < minorHi) {
            if (xMajor) put(a0 + t, minor);
            else put(minor, a0 + t);
        }
        q += stepQ;
        r += stepR;
        if (r >= D) {
            r -= D;
            ++q;
        }
    }
}

void RasterSurface::drawLine(int x1, int y1, int x2, int y2) {
    if (!target_ || clip_.empty()) return;
    walkLine(i64{x1} + tx_, i64{y1} + ty_, i64{x2} + tx_, i64{y2} + ty_, [this](i64 x, i64 y) { plot(x, y); });
}

void RasterSurface::drawPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) {
    if (!target_ || clip_.empty() || count <= 0 || (argb >> 24) == 0) return;
    // Only what lies in the clip is walked, so far-away corners cost
    // nothing; pixels are collected first so that each is blended once.
    std::vector<std::pair<i64, i64>> pixels;
    for (int i = 0; i < count; ++i) {
        const int j = (i + 1) % count;
        walkLine(i64{xs[i]} + tx_, i64{ys[i]} + ty_, i64{xs[j]} + tx_, i64{ys[j]} + ty_,
                 [&](i64 x, i64 y) { pixels.emplace_back(y, x); });
    }
    std::sort(pixels.begin(), pixels.end());
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    for (const auto& [y, x] : pixels) {
        std::uint32_t& p = target_->pixels[static_cast<std::size_t>(y) * target_->width + static_cast<std::size_t>(x)];
        p = raster::blendPixel(p, argb);
    }
}

// --- polygons -------------------------------------------------------------------

void RasterSurface::fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3) {
    if (!target_) return;
    const i64 xs[3] = {i64{x1} + tx_, i64{x2} + tx_, i64{x3} + tx_};
    const i64 ys[3] = {i64{y1} + ty_, i64{y2} + ty_, i64{y3} + ty_};
    fillPolygonDevice(xs, ys, 3, color_);
}

void RasterSurface::fillPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) {
    if (!target_ || count < 3 || (argb >> 24) == 0) return;
    std::vector<i64> dx(count), dy(count);
    for (int i = 0; i < count; ++i) {
        dx[i] = i64{xs[i]} + tx_;
        dy[i] = i64{ys[i]} + ty_;
    }
    fillPolygonDevice(dx.data(), dy.data(), count, argb);
}

void RasterSurface::fillPolygonDevice(const i64* xs, const i64* ys, int count, std::uint32_t argb) {
    if (clip_.empty()) return;
    const i64 ymin = *std::min_element(ys, ys + count), ymax = *std::max_element(ys, ys + count);
    const i64 j0 = std::max<i64>(ymin, clip_.y), j1 = std::min<i64>(ymax, i64{clip_.y} + clip_.height) - 1;
    std::vector<i64> crossings;
    crossings.reserve(count);
    for (i64 py = j0; py <= j1; ++py) {
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            const int k = i + 1 == count ? 0 : i + 1;
            i64 x0 = xs[i], y0 = ys[i], x1 = xs[k], y1 = ys[k];
            if (y0 == y1) continue;
            if (y1 < y0) {
                std::swap(x0, x1);
                std::swap(y0, y1);
            }
            // The edge holds the rows whose centres lie in [y0, y1).
            if (py < y0 || py >= y1) continue;
            // ceil(xc - 1/2), xc the edge's x at the row centre py + 1/2:
            // the first pixel whose centre is not left of the edge.
            const i128 n = i128{2 * x0 - 1} * (y1 - y0) + i128{2 * (py - y0) + 1} * (x1 - x0);
            crossings.push_back(ceilDiv(n, i128{2} * (y1 - y0)));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t c = 0; c + 1 < crossings.size(); c += 2)
            fillSpanClipped(py, crossings[c], crossings[c + 1], argb);
    }
}

// --- arcs and round rectangles --------------------------------------------------

template <typename Filter>
void RasterSurface::outlineEllipse(double cx, double cy, double a, double b, Filter keep) {
    // Points on the ellipse through the pixel lattice: sampled by column
    // where it is flatter than 45 degrees and by row where it is steeper;
    // the two bands overlap a little so that the curve has no gaps. keep()
    // sees the exact point on the curve, before it is rounded to a pixel.
    const double r = std::sqrt(a * a + b * b);
    const double colBand = a * a / r + 0.5, rowBand = b * b / r + 0.5;
    const i64 i0 = std::max<i64>(std::ceil(std::max(cx - colBand, cx - a)), clip_.x);
    const i64 i1 = std::min<i64>(std::floor(std::min(cx + colBand, cx + a)), i64{clip_.x} + clip_.width - 1);
    for (i64 i = i0; i <= i1; ++i) {
        const double t = std::clamp((static_cast<double>(i) - cx) / a, -1.0, 1.0);
        const double off = b * std::sqrt(std::max(0.0, 1.0 - t * t));
        if (keep(static_cast<double>(i), cy - off)) plot(i, roundUpOnTie(cy - off));
        if (keep(static_cast<double>(i), cy + off)) plot(i, roundDownOnTie(cy + off));
    }
    const i64 j0 = std::max<i64>(std::ceil(std::max(cy - rowBand, cy - b)), clip_.y);
    const i64 j1 = std::min<i64>(std::floor(std::min(cy + rowBand, cy + b)), i64{clip_.y} + clip_.height - 1);
    for (i64 j = j0; j <= j1; ++j) {
        const double s = std::clamp((static_cast<double>(j) - cy) / b, -1.0, 1.0);
        const double off = a * std::sqrt(std::max(0.0, 1.0 - s * s));
        if (keep(cx - off, static_cast<double>(j))) plot(roundUpOnTie(cx - off), j);
        if (keep(cx + off, static_cast<double>(j))) plot(roundDownOnTie(cx + off), j);
    }
}

void RasterSurface::drawArc(int x, int y, int width, int height, int startAngle, int arcAngle) {
    if (!target_ || width < 0 || height < 0 || arcAngle == 0 || clip_.empty()) return;
    const i64 X = i64{x} + tx_, Y = i64{y} + ty_;
    if (width == 0 || height == 0) {
        // A flat ellipse is its diameter.
        for (i64 j = std::max<i64>(Y, clip_.y); j <= std::min<i64>(Y + height, i64{clip_.y} + clip_.height - 1); ++j)
            fillSpanClipped(j, X, X + width + 1, color_);
        return;
    }
    const double a = width / 2.0, b = height / 2.0, cx = X + a, cy = Y + b;
    const Sector sector(startAngle, arcAngle);
    outlineEllipse(cx, cy, a, b, [&](double px, double py) { return sector.contains((px - cx) / a, -(py - cy) / b); });
}

void RasterSurface::fillArc(int x, int y, int width, int height, int startAngle, int arcAngle) {
    if (!target_ || width <= 0 || height <= 0 || arcAngle == 0 || clip_.empty()) return;
    const i64 X = i64{x} + tx_, Y = i64{y} + ty_;
    const double a = width / 2.0, b = height / 2.0, cx = X + a, cy = Y + b;
    const Sector sector(startAngle, arcAngle);
    const i64 j0 = std::max<i64>(Y, clip_.y), j1 = std::min<i64>(Y + height, i64{clip_.y} + clip_.height) - 1;
    const i64 clipRight = i64{clip_.x} + clip_.width;
    for (i64 py = j0; py <= j1; ++py) {
        const double v = (static_cast<double>(py) + 0.5 - cy) / b;
        if (v * v > 1.0) continue;
        const double half = a * std::sqrt(1.0 - v * v);
        const i64 x0 = std::max<i64>(std::ceil(cx - half - 0.5), clip_.x);
        const i64 x1 = std::min<i64>(std::floor(cx + half - 0.5) + 1, clipRight);
        if (x0 >= x1) continue;
        if (sector.full()) {
            span(static_cast<int>(py), static_cast<int>(x0), static_cast<int>(x1), color_);
            continue;
        }
        for (i64 px = x0; px < x1; ++px)
            if (sector.contains((static_cast<double>(px) + 0.5 - cx) / a, -v)) plot(px, py);
    }
}

namespace {

// Corner sizes as the handset draws them: at most the rectangle's size.
i64 cornerSize(int arc, int size) { return std::min<i64>(std::llabs(i64{arc}), size); }

}  // namespace

void RasterSurface::drawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
    if (!target_ || width < 0 || height < 0 || clip_.empty()) return;
    const i64 aw = cornerSize(arcWidth, width), ah = cornerSize(arcHeight, height);
    if (aw == 0 || ah == 0) return drawRect(x, y, width, height);
    const i64 X = i64{x} + tx_, Y = i64{y} + ty_;
    const double a = aw / 2.0, b = ah / 2.0;
    const double left = X + a, right = X + width - a, top = Y + b, bottom = Y + height - b;
    // Straight sides between the corners.
    fillSpanClipped(Y, std::ceil(left), std::floor(right) + 1, color_);
    fillSpanClipped(Y + height, std::ceil(left), std::floor(right) + 1, color_);
    const i64 j0 = std::max<i64>(std::ceil(top), clip_.y);
    const i64 j1 = std::min<i64>(std::floor(bottom), i64{clip_.y} + clip_.height - 1);
    for (i64 j = j0; j <= j1; ++j) {
        plot(X, j);
        plot(X + width, j);
    }
    // Quarter ellipses.
    for (const double cx : {left, right})
        for (const double cy : {top, bottom})
            outlineEllipse(cx, cy, a, b, [&](double px, double py) {
                return (cx == left ? px <= cx : px >= cx) && (cy == top ? py <= cy : py >= cy);
            });
}

void RasterSurface::fillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
    if (!target_ || width <= 0 || height <= 0 || clip_.empty()) return;
    const i64 aw = cornerSize(arcWidth, width), ah = cornerSize(arcHeight, height);
    if (aw == 0 || ah == 0) return fillRect(x, y, width, height);
    const i64 X = i64{x} + tx_, Y = i64{y} + ty_;
    const double a = aw / 2.0, b = ah / 2.0, top = Y + b, bottom = Y + height - b;
    const i64 j0 = std::max<i64>(Y, clip_.y), j1 = std::min<i64>(Y + height, i64{clip_.y} + clip_.height) - 1;
    for (i64 py = j0; py <= j1; ++py) {
        const double yc = static_cast<double>(py) + 0.5;
        double inset = 0;
        if (yc < top || yc > bottom) {
            const double v = std::min(1.0, (yc < top ? top - yc : yc - bottom) / b);
            inset = a - a * std::sqrt(1.0 - v * v);
        }
        fillSpanClipped(py, std::ceil(X + inset - 0.5), std::floor(X + width - inset - 0.5) + 1, color_);
    }
}

// --- images -----------------------------------------------------------------------

void RasterSurface::drawImage(const PixelSource& src, int x, int y) {
    drawRegion(src, 0, 0, src.width, src.height, Flip::None, x, y);
}

void RasterSurface::drawRegion(const PixelSource& src, int sx, int sy, int width, int height, Flip flip, int x,
                               int y) {
    if (!target_ || !src.pixels || width <= 0 || height <= 0 || clip_.empty()) return;
    const bool flipH = flip == Flip::Horizontal || flip == Flip::Both;
    const bool flipV = flip == Flip::Vertical || flip == Flip::Both;
    const i64 X = i64{x} + tx_, Y = i64{y} + ty_;
    // Box offsets i (columns) and j (rows) that land in the clip and read
    // inside the source.
    const i64 srcLoX = flipH ? i64{sx} + width - src.width : -i64{sx};
    const i64 srcHiX = flipH ? i64{sx} + width : i64{src.width} - sx;
    const i64 srcLoY = flipV ? i64{sy} + height - src.height : -i64{sy};
    const i64 srcHiY = flipV ? i64{sy} + height : i64{src.height} - sy;
    const i64 i0 = std::max({i64{0}, clip_.x - X, srcLoX});
    const i64 i1 = std::min({i64{width}, i64{clip_.x} + clip_.width - X, srcHiX});
    const i64 j0 = std::max({i64{0}, clip_.y - Y, srcLoY});
    const i64 j1 = std::min({i64{height}, i64{clip_.y} + clip_.height - Y, srcHiY});
    if (i0 >= i1 || j0 >= j1) return;

    const int n = static_cast<int>(i1 - i0);
    const i64 srcCol = flipH ? i64{sx} + width - i1 : i64{sx} + i0;  // leftmost source column read
    const std::size_t dstStride = static_cast<std::size_t>(target_->width);
    std::uint32_t* dst = target_->pixels.data() + static_cast<std::size_t>(Y + j0) * dstStride +
                         static_cast<std::size_t>(X + i0);
    const i64 firstRow = flipV ? i64{sy} + height - 1 - j0 : i64{sy} + j0;
    const std::uint32_t* s = src.pixels + static_cast<std::size_t>(firstRow) * src.stride + srcCol;
    const std::ptrdiff_t srcStep = flipV ? -static_cast<std::ptrdiff_t>(src.stride) : src.stride;
    const int rows = static_cast<int>(j1 - j0);
    if (src.opaque) {
        for (int j = 0; j < rows; ++j, dst += dstStride, s += srcStep) {
            if (flipH) raster::copyRowMirrored(dst, s, n);
            else raster::copyRow(dst, s, n);
        }
    } else {
        raster::blendRect(dst, static_cast<std::ptrdiff_t>(dstStride), s, srcStep, n, rows, flipH, target_->opaque);
    }
}

}  // namespace platform
