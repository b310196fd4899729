// The software raster next to cairo (antialiasing off) drawing the same
// lines, triangles and arcs. The two agree except where a pixel centre lies
// on a shape's edge, where each rasteriser has its own tie rule, and where
// cairo's one-pixel-wide stroke is wider than a one-pixel line.
#ifdef TIDEPOOL_HAVE_CAIRO

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "platform/RasterTestSupport.h"

namespace {

using raster_test::Canvas;
constexpr int kSize = 64;
constexpr double kPi = std::numbers::pi;

class Cairo {
public:
    Cairo() : pixels_(kSize * kSize, 0) {
        surface_ = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels_.data()),
                                                       CAIRO_FORMAT_ARGB32, kSize, kSize, kSize * 4);
        cr_ = cairo_create(surface_);
        cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
        cairo_set_source_rgb(cr_, 0, 0, 0);
        cairo_set_line_width(cr_, 1);
    }
    ~Cairo() {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
    cairo_t* cr() { return cr_; }
    bool set(int x, int y) {
        cairo_surface_flush(surface_);
        return x >= 0 && y >= 0 && x < kSize && y < kSize && pixels_[y * kSize + x] != 0;
    }

private:
    std::vector<std::uint32_t> pixels_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

int pick(std::mt19937& rng, int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); }

bool near(const Canvas& c, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px >= 0 && py >= 0 && px < kSize && py < kSize && c.set(px, py)) return true;
        }
    return false;
}

TEST(RasterReference, LinesLieInsideCairosOnePixelStroke) {
    std::mt19937 rng(21);
    int ours = 0, outside = 0;
    for (int trial = 0; trial < 500; ++trial) {
        const int x1 = pick(rng, 2, 61), y1 = pick(rng, 2, 61), x2 = pick(rng, 2, 61), y2 = pick(rng, 2, 61);
        Canvas c(kSize, kSize);
        c.surface.setColor(0);
        c.surface.drawLine(x1, y1, x2, y2);
        Cairo ref;
        cairo_set_line_cap(ref.cr(), CAIRO_LINE_CAP_SQUARE);
        cairo_move_to(ref.cr(), x1 + 0.5, y1 + 0.5);
        cairo_line_to(ref.cr(), x2 + 0.5, y2 + 0.5);
        cairo_stroke(ref.cr());
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                if (c.set(x, y)) {
                    ++ours;
                    outside += !ref.set(x, y);
                }
                if (ref.set(x, y)) {
                    ASSERT_TRUE(near(c, x, y)) << x1 << "," << y1 << " " << x2 << "," << y2;
                }
            }
    }
    // Only exact ties on the stroke's border may fall outside it.
    EXPECT_LT(outside, ours / 50);
}

TEST(RasterReference, TrianglesMatchExceptOnEdges) {
    std::mt19937 rng(22);
    for (int trial = 0; trial < 500; ++trial) {
        int v[6];
        for (int& k : v) k = pick(rng, -4, 68);
        Canvas c(kSize, kSize);
        c.surface.setColor(0);
        c.surface.fillTriangle(v[0], v[1], v[2], v[3], v[4], v[5]);
        Cairo ref;
        cairo_move_to(ref.cr(), v[0], v[1]);
        cairo_line_to(ref.cr(), v[2], v[3]);
        cairo_line_to(ref.cr(), v[4], v[5]);
        cairo_close_path(ref.cr());
        cairo_fill(ref.cr());
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                if (c.set(x, y) == ref.set(x, y)) continue;
                // A disagreement needs the centre on an edge, give or take
                // cairo's fixed-point precision.
                bool onEdge = false;
                for (int e = 0; e < 3; ++e) {
                    const int ax = v[2 * e], ay = v[2 * e + 1], bx = v[(2 * e + 2) % 6], by = v[(2 * e + 3) % 6];
                    const std::int64_t cross =
                        std::int64_t(bx - ax) * (2 * y + 1 - 2 * ay) - std::int64_t(by - ay) * (2 * x + 1 - 2 * ax);
                    const double length = 2 * std::hypot(bx - ax, by - ay);
                    onEdge = onEdge || std::abs(double(cross)) / length < 1.0 / 64;
                }
                ASSERT_TRUE(onEdge) << "triangle " << v[0] << "," << v[1] << " " << v[2] << "," << v[3] << " " << v[4]
                                    << "," << v[5] << " pixel " << x << "," << y << " ours " << c.set(x, y);
            }
    }
}

void cairoEllipse(cairo_t* cr, double cx, double cy, double a, double b, int start, int arc, bool pie) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, a, b);
    if (pie) cairo_move_to(cr, 0, 0);
    // Counter-clockwise on the screen is decreasing angle with y down.
    const double s = -start * kPi / 180, e = -(start + arc) * kPi / 180;
    if (std::abs(arc) >= 360) cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    else if (arc > 0) cairo_arc_negative(cr, 0, 0, 1, s, e);
    else cairo_arc(cr, 0, 0, 1, s, e);
    if (pie) cairo_close_path(cr);
    cairo_restore(cr);
}

TEST(RasterReference, FilledArcsMatchExceptOnTheBoundary) {
    std::mt19937 rng(23);
    for (int trial = 0; trial < 400; ++trial) {
        const int x = pick(rng, -10, 40), y = pick(rng, -10, 40), w = pick(rng, 2, 50), h = pick(rng, 2, 50);
        const int start = pick(rng, -360, 360), arc = trial % 4 == 0 ? 360 : pick(rng, -350, 350);
        if (arc == 0) continue;
        Canvas c(kSize, kSize);
        c.surface.setColor(0);
        c.surface.fillArc(x, y, w, h, start, arc);
        Cairo ref;
        const double a = w / 2.0, b = h / 2.0, cx = x + a, cy = y + b;
        cairoEllipse(ref.cr(), cx, cy, a, b, start, arc, true);
        cairo_fill(ref.cr());
        for (int py = 0; py < kSize; ++py)
            for (int px = 0; px < kSize; ++px) {
                if (c.set(px, py) == ref.set(px, py)) continue;
                const double u = (px + 0.5 - cx) / a, v = (py + 0.5 - cy) / b;
                // cairo flattens curves to within a tenth of a pixel.
                const double radial = std::abs(std::sqrt(u * u + v * v) - 1) * std::min(a, b);
                // Distance in pixels from the two rays of the pie.
                double ray = 1e9;
                for (const int angle : {start, start + arc}) {
                    const double dx = std::cos(angle * kPi / 180) * a, dy = -std::sin(angle * kPi / 180) * b;
                    const double len = std::hypot(dx, dy);
                    ray = std::min(ray, std::abs((px + 0.5 - cx) * dy - (py + 0.5 - cy) * dx) / len);
                }
                // Where the wedge a pie leaves out is a sliver under a pixel
                // wide, cairo fills pixels whose centres lie in it.
                ASSERT_TRUE(radial < 0.12 || (std::abs(arc) < 360 && ray < 1))
                    << "arc " << x << " " << y << " " << w << " " << h << " " << start << " " << arc << " pixel " << px
                    << "," << py << " ours " << c.set(px, py);
            }
    }
}

TEST(RasterReference, ArcOutlinesFollowCairosStroke) {
    std::mt19937 rng(24);
    int ours = 0, outside = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const int x = pick(rng, 2, 20), y = pick(rng, 2, 20), w = pick(rng, 3, 40), h = pick(rng, 3, 40);
        const int start = pick(rng, 0, 359), arc = trial % 3 == 0 ? 360 : pick(rng, 30, 330);
        Canvas c(kSize, kSize);
        c.surface.setColor(0);
        c.surface.drawArc(x, y, w, h, start, arc);
        Cairo ref;
        // The outline runs through pixel centres: w + 1 by h + 1 pixels.
        cairoEllipse(ref.cr(), x + w / 2.0 + 0.5, y + h / 2.0 + 0.5, w / 2.0, h / 2.0, start, arc, false);
        cairo_stroke(ref.cr());
        for (int py = 0; py < kSize; ++py)
            for (int px = 0; px < kSize; ++px) {
                if (c.set(px, py)) {
                    ++ours;
                    outside += !ref.set(px, py) && !(ref.set(px - 1, py) || ref.set(px + 1, py) ||
                                                     ref.set(px, py - 1) || ref.set(px, py + 1));
                }
                if (ref.set(px, py)) {
                    ASSERT_TRUE(near(c, px, py)) << x << " " << y << " " << w << " " << h << " " << start << " " << arc
                                                 << ": " << px << "," << py;
                }
            }
    }
    EXPECT_LT(outside, ours / 100);
}

}  // namespace

#endif  // TIDEPOOL_HAVE_CAIRO
