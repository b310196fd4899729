#include "platform/RasterSurface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <random>

#include "platform/RasterKernels.h"
#include "platform/RasterTestSupport.h"

namespace {

using platform::Flip;
using platform::PixelSource;
using platform::Rect;
using raster_test::Canvas;
using i64 = std::int64_t;

constexpr std::uint32_t kInk = 0xFF000000u;
constexpr double kPi = std::numbers::pi;

int pick(std::mt19937& rng, int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); }

// Occasionally an extreme value, to catch overflow in clipping.
int coordinate(std::mt19937& rng) {
    switch (rng() % 12) {
    case 0: return INT_MIN;
    case 1: return INT_MAX;
    case 2: return pick(rng, -100000, 100000);
    default: return pick(rng, -12, 50);
    }
}

struct State {
    int tx, ty;
    Rect clip;  // user coordinates, as given to setClip
};

State randomState(std::mt19937& rng, Canvas& c) {
    State s{pick(rng, -8, 8), pick(rng, -8, 8), {pick(rng, -10, 30), pick(rng, -10, 30), pick(rng, -5, 40), pick(rng, -5, 40)}};
    c.surface.translate(s.tx, s.ty);
    c.surface.setClip(s.clip.x, s.clip.y, s.clip.width, s.clip.height);
    return s;
}

bool inClip(const State& s, int px, int py, const Canvas& c) {
    const i64 x0 = i64{s.clip.x} + s.tx, y0 = i64{s.clip.y} + s.ty;
    return px >= x0 && py >= y0 && px < x0 + s.clip.width && py < y0 + s.clip.height && px < c.width() &&
           py < c.height();
}

TEST(RasterSurface, RectanglesFollowTheirPixelRulesUnderClipAndTranslation) {
    std::mt19937 rng(3);
    for (int trial = 0; trial < 3000; ++trial) {
        const bool outline = trial % 2;
        Canvas c(40, 30);
        c.surface.setColor(0x000000);
        const State s = randomState(rng, c);
        const int x = coordinate(rng), y = coordinate(rng), w = coordinate(rng), h = coordinate(rng);
        if (outline) c.surface.drawRect(x, y, w, h);
        else c.surface.fillRect(x, y, w, h);
        const i64 X = i64{x} + s.tx, Y = i64{y} + s.ty;
        for (int py = 0; py < c.height(); ++py)
            for (int px = 0; px < c.width(); ++px) {
                bool want;
                if (outline) {
                    const bool inX = px >= X && px <= X + w, inY = py >= Y && py <= Y + h;
                    want = w >= 0 && h >= 0 && ((inX && (py == Y || py == Y + h)) || (inY && (px == X || px == X + w)));
                } else {
                    want = px >= X && px < X + w && py >= Y && py < Y + h;
                }
                want = want && inClip(s, px, py, c);
                ASSERT_EQ(c.set(px, py), want) << (outline ? "drawRect " : "fillRect ") << x << " " << y << " " << w
                                               << " " << h << " at " << px << "," << py << "\n" << c.map();
            }
    }
}

TEST(RasterSurface, ClipRectNarrowsAndSetClipReplaces) {
    Canvas c(20, 20);
    c.surface.setColor(0);
    c.surface.setClip(0, 0, 10, 10);
    c.surface.clipRect(5, 5, 10, 10);
    c.surface.fillRect(0, 0, 20, 20);
    EXPECT_EQ(c.count(), 25);
    EXPECT_TRUE(c.set(5, 5) && c.set(9, 9) && !c.set(10, 10) && !c.set(4, 5));
    EXPECT_EQ(c.surface.deviceClip(), (Rect{5, 5, 5, 5}));
    c.surface.clipRect(30, 30, 5, 5);  // disjoint: nothing left
    EXPECT_TRUE(c.surface.deviceClip().empty());
    c.surface.setClip(-5, -5, INT_MAX, INT_MAX);  // setClip starts again from the picture
    EXPECT_EQ(c.surface.deviceClip(), (Rect{0, 0, 20, 20}));
    c.surface.setClip(3, 3, -1, 4);
    EXPECT_TRUE(c.surface.deviceClip().empty());
}

// --- lines ---------------------------------------------------------------------

TEST(RasterSurface, LinesSetOnePixelPerStepWithinHalfAPixelOfTheTrueLine) {
    std::mt19937 rng(4);
    for (int trial = 0; trial < 2000; ++trial) {
        const int x1 = pick(rng, 0, 59), y1 = pick(rng, 0, 59), x2 = pick(rng, 0, 59), y2 = pick(rng, 0, 59);
        Canvas c(60, 60), reversed(60, 60);
        c.surface.setColor(0);
        reversed.surface.setColor(0);
        c.surface.drawLine(x1, y1, x2, y2);
        reversed.surface.drawLine(x2, y2, x1, y1);
        SCOPED_TRACE(std::to_string(x1) + "," + std::to_string(y1) + " - " + std::to_string(x2) + "," +
                     std::to_string(y2));
        ASSERT_EQ(c.picture->pixels, reversed.picture->pixels);
        ASSERT_TRUE(c.set(x1, y1) && c.set(x2, y2));
        const int dx = x2 - x1, dy = y2 - y1;
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        ASSERT_EQ(c.count(), std::max(std::abs(dx), std::abs(dy)) + 1);
        for (int py = 0; py < 60; ++py)
            for (int px = 0; px < 60; ++px) {
                if (!c.set(px, py)) continue;
                // Along the major axis inside the segment, minor within 1/2.
                if (xMajor) {
                    ASSERT_TRUE(px >= std::min(x1, x2) && px <= std::max(x1, x2));
                    const double ideal = dx == 0 ? y1 : y1 + double(dy) * (px - x1) / dx;
                    ASSERT_LE(std::abs(py - ideal), 0.5);
                } else {
                    ASSERT_TRUE(py >= std::min(y1, y2) && py <= std::max(y1, y2));
                    const double ideal = x1 + double(dx) * (py - y1) / dy;
                    ASSERT_LE(std::abs(px - ideal), 0.5);
                }
            }
    }
}

TEST(RasterSurface, ClippedLinesAreTheUnclippedLineInsideTheClip) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 2000; ++trial) {
        // Lines drawn on a large picture, and through a small window of it
        // with a translation.
        const int x1 = pick(rng, -30, 130), y1 = pick(rng, -30, 130), x2 = pick(rng, -30, 130), y2 = pick(rng, -30, 130);
        Canvas whole(100, 100), window(100, 100);
        whole.surface.setColor(0);
        window.surface.setColor(0);
        whole.surface.drawLine(x1, y1, x2, y2);
        const int tx = pick(rng, -20, 20), ty = pick(rng, -20, 20);
        const Rect clip{pick(rng, 0, 60), pick(rng, 0, 60), pick(rng, 0, 40), pick(rng, 0, 40)};
        window.surface.translate(tx, ty);
        window.surface.setClip(clip.x - tx, clip.y - ty, clip.width, clip.height);
        window.surface.drawLine(x1 - tx, y1 - ty, x2 - tx, y2 - ty);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool inside = x >= clip.x && y >= clip.y && x < clip.x + clip.width && y < clip.y + clip.height;
                ASSERT_EQ(window.set(x, y), inside && whole.set(x, y)) << x << "," << y;
            }
    }
}

TEST(RasterSurface, ExtremeLinesStayExactInsideTheClip) {
    // From far outside to far outside: one pixel per column, on the line.
    Canvas c(64, 64);
    c.surface.setColor(0);
    c.surface.drawLine(INT_MIN, 0, INT_MAX, 63);
    c.surface.drawLine(32, INT_MIN, 33, INT_MAX);
    int columnsWithOne = 0;
    for (int x = 0; x < 64; ++x) {
        int n = 0;
        for (int y = 0; y < 64; ++y) n += c.set(x, y) && x != 32 && x != 33;
        columnsWithOne += n == 1;
    }
    EXPECT_EQ(columnsWithOne, 62);
    const double slope = 63.0 / (double(INT_MAX) - INT_MIN);
    for (int x = 0; x < 64; ++x)
        if (x != 32 && x != 33) {
            const double ideal = (double(x) - INT_MIN) * slope;
            const int y = static_cast<int>(std::floor(ideal + 0.5));
            EXPECT_TRUE(c.set(x, y)) << x;
        }
}

// --- polygons ------------------------------------------------------------------

// Twice the signed area of (a, b, p) with p a pixel centre, all doubled.
i64 edge(i64 ax, i64 ay, i64 bx, i64 by, i64 px2, i64 py2) {
    return (2 * bx - 2 * ax) * (py2 - 2 * ay) - (2 * by - 2 * ay) * (px2 - 2 * ax);
}

TEST(RasterSurface, TrianglesSetExactlyThePixelsWhoseCentresAreInside) {
    std::mt19937 rng(6);
    for (int trial = 0; trial < 3000; ++trial) {
        int v[6];
        for (int& k : v) k = pick(rng, -6, 46);
        Canvas c(40, 40);
        c.surface.setColor(0);
        c.surface.fillTriangle(v[0], v[1], v[2], v[3], v[4], v[5]);
        const i64 area = edge(v[0], v[1], v[2], v[3], 2 * v[4], 2 * v[5]);
        for (int py = 0; py < 40; ++py)
            for (int px = 0; px < 40; ++px) {
                i64 e[3] = {edge(v[0], v[1], v[2], v[3], 2 * px + 1, 2 * py + 1),
                            edge(v[2], v[3], v[4], v[5], 2 * px + 1, 2 * py + 1),
                            edge(v[4], v[5], v[0], v[1], 2 * px + 1, 2 * py + 1)};
                if (area < 0)
                    for (i64& k : e) k = -k;
                const bool strictlyInside = area != 0 && e[0] > 0 && e[1] > 0 && e[2] > 0;
                const bool strictlyOutside = area == 0 || e[0] < 0 || e[1] < 0 || e[2] < 0;
                if (strictlyInside) {
                    ASSERT_TRUE(c.set(px, py)) << px << "," << py << "\n" << c.map();
                }
                if (strictlyOutside) {
                    ASSERT_FALSE(c.set(px, py)) << px << "," << py << "\n" << c.map();
                }
            }
    }
}

TEST(RasterSurface, PolygonsSharingAnEdgeNeitherOverlapNorLeaveGaps) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 1000; ++trial) {
        // A fan of triangles around a centre covers the polygon exactly once.
        const int cx = pick(rng, 10, 30), cy = pick(rng, 10, 30), n = pick(rng, 3, 9);
        std::vector<int> xs, ys;
        for (int k = 0; k < n; ++k) {
            const double angle = 2 * kPi * (k + 0.5 * (rng() % 100) / 100.0) / n;
            const double r = pick(rng, 5, 14);
            xs.push_back(cx + static_cast<int>(std::lround(r * std::cos(angle))));
            ys.push_back(cy + static_cast<int>(std::lround(r * std::sin(angle))));
        }
        std::vector<int> coverage(40 * 40, 0);
        for (int k = 0; k < n; ++k) {
            Canvas t(40, 40);
            t.surface.setColor(0);
            t.surface.fillTriangle(cx, cy, xs[k], ys[k], xs[(k + 1) % n], ys[(k + 1) % n]);
            for (int i = 0; i < 40 * 40; ++i) coverage[i] += t.picture->pixels[i] != 0;
        }
        Canvas whole(40, 40);
        whole.surface.fillPolygon(xs.data(), ys.data(), n, kInk);
        for (int i = 0; i < 40 * 40; ++i) {
            ASSERT_LE(coverage[i], 1) << i % 40 << "," << i / 40;
            ASSERT_EQ(coverage[i] == 1, whole.picture->pixels[i] != 0) << i % 40 << "," << i / 40;
        }
    }
}

TEST(RasterSurface, TranslucentPolygonsBlend) {
    Canvas c(4, 4, 0xFF0000FFu);
    const int xs[] = {0, 4, 4, 0}, ys[] = {0, 0, 4, 4};
    c.surface.fillPolygon(xs, ys, 4, 0x80FF0000u);
    EXPECT_EQ(c.at(2, 2), platform::raster::blendPixel(0xFF0000FFu, 0x80FF0000u));
    c.surface.fillPolygon(xs, ys, 2, kInk);  // fewer than three points: nothing
    EXPECT_EQ(c.at(0, 0), c.at(3, 3));
}

// --- arcs and round rectangles ----------------------------------------------------

// Angle in degrees of a point on the ellipse's unit circle.
double parametricAngle(double u, double v) {
    double a = std::atan2(v, u) * 180 / kPi;
    return a < 0 ? a + 360 : a;
}

// How far in degrees an angle lies inside the arc's span; negative outside.
double sectorDepth(double angle, int start, int arc) {
    if (arc < 0) {
        start += arc;
        arc = -arc;
    }
    double d = std::fmod(angle - start, 360.0);
    if (d < 0) d += 360;
    if (d <= arc) return std::min(d, arc - d);
    return -std::min(d - arc, 360 - d);
}

TEST(RasterSurface, FilledArcsCoverThePixelCentresInsideThePieSlice) {
    std::mt19937 rng(8);
    for (int trial = 0; trial < 1500; ++trial) {
        const int x = pick(rng, -5, 20), y = pick(rng, -5, 20), w = pick(rng, 1, 30), h = pick(rng, 1, 30);
        const int start = pick(rng, -400, 400), arc = trial % 5 == 0 ? 360 : pick(rng, -380, 380);
        Canvas c(40, 40);
        c.surface.setColor(0);
        c.surface.fillArc(x, y, w, h, start, arc);
        const double a = w / 2.0, b = h / 2.0, cx = x + a, cy = y + b;
        for (int py = 0; py < 40; ++py)
            for (int px = 0; px < 40; ++px) {
                const double u = (px + 0.5 - cx) / a, v = -(py + 0.5 - cy) / b, r = u * u + v * v;
                const double angle = parametricAngle(u, v);
                const bool full = std::abs(arc) >= 360;
                const double depth = sectorDepth(angle, start, arc);
                if (arc != 0 && r < 0.999 && (full || (r > 1e-6 && depth > 0.01))) {
                    ASSERT_TRUE(c.set(px, py)) << px << "," << py << "\n" << c.map();
                }
                if (arc == 0 || r > 1.001 || (!full && r > 1e-6 && depth < -0.01)) {
                    ASSERT_FALSE(c.set(px, py)) << px << "," << py << "\n" << c.map();
                }
            }
    }
}

TEST(RasterSurface, FullArcsAndRoundRectanglesAgree) {
    std::mt19937 rng(9);
    for (int trial = 0; trial < 300; ++trial) {
        const int x = pick(rng, -3, 10), y = pick(rng, -3, 10), w = pick(rng, 0, 25), h = pick(rng, 0, 25);
        Canvas arc(40, 40), round(40, 40);
        arc.surface.fillArc(x, y, w, h, 0, 360);
        round.surface.fillRoundRect(x, y, w, h, w, h);
        ASSERT_EQ(arc.picture->pixels, round.picture->pixels) << x << " " << y << " " << w << " " << h;
        // An outline covers w + 1 by h + 1 pixels and is symmetric.
        Canvas outline(40, 40);
        outline.surface.setColor(0);
        outline.surface.drawArc(5, 5, w, h, 0, 360);
        int minX = 99, minY = 99, maxX = -1, maxY = -1;
        for (int py = 0; py < 40; ++py)
            for (int px = 0; px < 40; ++px)
                if (outline.set(px, py)) {
                    minX = std::min(minX, px), maxX = std::max(maxX, px);
                    minY = std::min(minY, py), maxY = std::max(maxY, py);
                    ASSERT_TRUE(outline.set(10 + w - px, py) && outline.set(px, 10 + h - py)) << outline.map();
                }
        ASSERT_EQ(minX, 5);
        ASSERT_EQ(minY, 5);
        ASSERT_EQ(maxX, 5 + w);
        ASSERT_EQ(maxY, 5 + h);
    }
}

TEST(RasterSurface, ArcOutlinesAreConnectedAndOnTheCurve) {
    std::mt19937 rng(10);
    for (int trial = 0; trial < 200; ++trial) {
        const int w = pick(rng, 3, 34), h = pick(rng, 3, 34);
        const int start = pick(rng, 0, 359), arc = trial % 3 == 0 ? 360 : pick(rng, -300, 300);
        if (arc == 0) continue;
        Canvas c(40, 40);
        c.surface.setColor(0);
        c.surface.drawArc(2, 2, w, h, start, arc);
        const double a = w / 2.0, b = h / 2.0, cx = 2 + a, cy = 2 + b;
        int pixels = 0;
        for (int py = 0; py < 40; ++py)
            for (int px = 0; px < 40; ++px) {
                if (!c.set(px, py)) continue;
                ++pixels;
                // Within a pixel's reach of the curve, inside the arc's span.
                double best = 1e9, bestAngle = 0;
                for (int k = 0; k < 1800; ++k) {
                    const double t = k * kPi / 900;
                    const double d = std::hypot(cx + a * std::cos(t) - px, cy - b * std::sin(t) - py);
                    if (d < best) best = d, bestAngle = k / 5.0;
                }
                ASSERT_LT(best, 0.75) << px << "," << py << "\n" << c.map();
                // A pixel may sit up to about a pixel past an end of the arc.
                const double slack = 1.5 / std::min(a, b) * 180 / kPi;
                if (std::abs(arc) < 360) {
                    ASSERT_GT(sectorDepth(bestAngle, start, arc), -slack) << px << "," << py;
                }
                if (std::abs(arc) >= 360) {
                    int neighbours = 0;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            neighbours += (dx || dy) && c.set(px + dx, py + dy);
                    ASSERT_GE(neighbours, 2) << px << "," << py << "\n" << c.map();
                }
            }
        if (std::abs(arc) >= 45) {
            ASSERT_GT(pixels, 0);
        }
    }
}

TEST(RasterSurface, RoundRectanglesHaveRoundedCornersInsideTheirBox) {
    Canvas c(20, 12);
    c.surface.setColor(0);
    c.surface.fillRoundRect(1, 1, 16, 10, 6, 6);
    EXPECT_FALSE(c.set(1, 1));  // the corner is cut
    EXPECT_TRUE(c.set(4, 1) && c.set(1, 4) && c.set(9, 5));
    EXPECT_FALSE(c.set(17, 5));  // x + w is outside a fill
    Canvas o(20, 12);
    o.surface.setColor(0);
    o.surface.drawRoundRect(1, 1, 16, 10, 6, 6);
    EXPECT_TRUE(o.set(17, 5) && o.set(9, 11) && o.set(9, 1) && o.set(1, 6));  // w + 1 by h + 1
    EXPECT_FALSE(o.set(1, 1) || o.set(9, 5));
    // Corner sizes beyond the box are the box; zero is a plain rectangle.
    Canvas big(20, 12), ellipse(20, 12);
    big.surface.fillRoundRect(1, 1, 16, 10, 500, -500);
    ellipse.surface.fillArc(1, 1, 16, 10, 0, 360);
    EXPECT_EQ(big.picture->pixels, ellipse.picture->pixels);
    Canvas square(20, 12), rect(20, 12);
    square.surface.drawRoundRect(1, 1, 16, 10, 0, 8);
    rect.surface.drawRect(1, 1, 16, 10);
    EXPECT_EQ(square.picture->pixels, rect.picture->pixels);
}

// --- images ----------------------------------------------------------------------

TEST(RasterSurface, RegionsBlitLikeThePerPixelDefinition) {
    std::mt19937 rng(11);
    const int sw = 7, sh = 5;
    for (int trial = 0; trial < 4000; ++trial) {
        std::vector<std::uint32_t> src(sw * sh);
        const bool opaque = trial % 4 == 0;
        for (auto& p : src) p = opaque ? 0xFF000000u | (rng() & 0xFFFFFF) : static_cast<std::uint32_t>(rng());
        const PixelSource source{src.data(), sw, sh, sw, opaque};
        Canvas c(24, 16, 0xFF336699u);
        const State s = randomState(rng, c);
        const int sx = pick(rng, -3, 8), sy = pick(rng, -3, 6), w = pick(rng, -1, 9), h = pick(rng, -1, 7);
        const int x = pick(rng, -10, 24), y = pick(rng, -10, 16);
        const Flip flip = static_cast<Flip>(rng() % 4);
        c.surface.drawRegion(source, sx, sy, w, h, flip, x, y);
        const bool fx = flip == Flip::Horizontal || flip == Flip::Both, fy = flip == Flip::Vertical || flip == Flip::Both;
        for (int py = 0; py < c.height(); ++py)
            for (int px = 0; px < c.width(); ++px) {
                std::uint32_t want = 0xFF336699u;
                const int i = px - (x + s.tx), j = py - (y + s.ty);
                if (i >= 0 && j >= 0 && i < w && j < h && inClip(s, px, py, c)) {
                    const int u = sx + (fx ? w - 1 - i : i), v = sy + (fy ? h - 1 - j : j);
                    if (u >= 0 && v >= 0 && u < sw && v < sh) want = platform::raster::blendPixel(want, src[v * sw + u]);
                }
                ASSERT_EQ(c.at(px, py), want) << "trial " << trial << " at " << px << "," << py;
            }
    }
}

TEST(RasterSurface, NothingIsDrawnWithoutATargetOrWithAnEmptyClip) {
    platform::RasterSurface none;
    none.fillRect(0, 0, 10, 10);  // must not crash
    none.drawLine(0, 0, 5, 5);
    Canvas c(10, 10);
    c.surface.setClip(0, 0, 0, 0);
    c.surface.setColor(0);
    c.surface.fillRect(0, 0, 10, 10);
    c.surface.drawArc(0, 0, 9, 9, 0, 360);
    c.surface.fillTriangle(0, 0, 9, 0, 0, 9);
    EXPECT_EQ(c.count(), 0);
}

}  // namespace
