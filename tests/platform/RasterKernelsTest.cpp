#include "platform/RasterKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace platform::raster;

std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// The over operator in real numbers, rounded to nearest.
std::uint32_t overExact(std::uint32_t dst, std::uint32_t src) {
    const double sa = (src >> 24) / 255.0, da = (dst >> 24) / 255.0;
    const double a = sa + da * (1 - sa);
    if (a == 0) return dst;
    std::uint32_t out = static_cast<std::uint32_t>(std::lround(a * 255)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const double c = (((src >> shift) & 255) * sa + ((dst >> shift) & 255) * da * (1 - sa)) / a;
        out |= static_cast<std::uint32_t>(std::lround(c)) << shift;
    }
    return out;
}

TEST(RasterKernels, BlendPixelIsTheRoundedOverOperator) {
    // Over an opaque destination every (alpha, source, destination) triple.
    for (std::uint32_t a = 0; a < 256; ++a)
        for (std::uint32_t s = 0; s < 256; ++s)
            for (std::uint32_t d = 0; d < 256; ++d) {
                const std::uint32_t src = argb(a, s, 255 - s, s / 2), dst = argb(255, d, d / 3, 255 - d);
                if (blendPixel(dst, src) != overExact(dst, src))
                    FAIL() << std::hex << dst << " " << src << " -> " << blendPixel(dst, src);
            }
    // Translucent destinations, sampled; a channel exactly halfway may
    // round either way in floating point, so channels get a unit of slack.
    std::mt19937 rng(1);
    for (int i = 0; i < 1000000; ++i) {
        const std::uint32_t src = rng() | 0x01000000u, dst = rng() & 0xFEFFFFFFu;  // dst alpha below 255
        const std::uint32_t got = blendPixel(dst, src), want = overExact(dst, src);
        bool close = (got >> 24) == (want >> 24);
        for (int shift = 0; shift < 24; shift += 8)
            close = close && std::abs(int((got >> shift) & 255) - int((want >> shift) & 255)) <= 1;
        if (!close) FAIL() << std::hex << dst << " " << src << " -> " << got << " not " << want;
    }
    EXPECT_EQ(blendPixel(0x12345678u, 0x00FFFFFFu), 0x12345678u);  // clear source leaves dst
    EXPECT_EQ(blendPixel(0x00000000u, 0x80FF0000u), 0x80FF0000u);  // over nothing: the source
}

// Rows built from groups of four and eight so that every wide path is taken:
// all opaque, all clear, mixed, and destinations that are not opaque.
struct Rows {
    std::vector<std::uint32_t> src, dst;
};

Rows randomRows(std::mt19937& rng, int n) {
    Rows r{std::vector<std::uint32_t>(n), std::vector<std::uint32_t>(n)};
    int mode = 0;
    for (int i = 0; i < n; ++i) {
        if (i % 4 == 0) mode = static_cast<int>(rng() % 5);
        const std::uint32_t rgb = rng() & 0xFFFFFF;
        switch (mode) {
        case 0: r.src[i] = 0xFF000000u | rgb; break;
        case 1: r.src[i] = rgb; break;
        case 2: r.src[i] = (rng() % 3 == 0 ? 0xFFu : rng() % 256) << 24 | rgb; break;
        default: r.src[i] = static_cast<std::uint32_t>(rng()); break;
        }
        r.dst[i] = (rng() % 16 == 0 ? rng() % 256 : 255u) << 24 | (rng() & 0xFFFFFF);
    }
    return r;
}

TEST(RasterKernels, EveryInstructionSetGivesThePixelsOfBlendPixel) {
    const Isa best = bestIsa();
    std::mt19937 rng(2);
    for (const Isa isa : {Isa::Scalar, Isa::Sse2, Isa::Avx2}) {
        if (static_cast<int>(isa) > static_cast<int>(best)) continue;
        useIsa(isa);
        SCOPED_TRACE(static_cast<int>(isa));
        for (int trial = 0; trial < 400; ++trial) {
            const int n = trial % 80;
            const Rows r = randomRows(rng, n);
            std::vector<std::uint32_t> want(r.dst), mirroredWant(r.dst), got(r.dst), mirrored(r.dst);
            for (int i = 0; i < n; ++i) {
                want[i] = blendPixel(r.dst[i], r.src[i]);
                mirroredWant[i] = blendPixel(r.dst[i], r.src[n - 1 - i]);
            }
            blendRow(got.data(), r.src.data(), n);
            blendRowMirrored(mirrored.data(), r.src.data(), n);
            ASSERT_EQ(got, want) << "n=" << n;
            ASSERT_EQ(mirrored, mirroredWant) << "n=" << n;
        }
    }
    useIsa(best);
    EXPECT_EQ(activeIsa(), best);
}

TEST(RasterKernels, WideBlendsMatchOverOpaqueDestinationsForEveryTriple) {
    // Every source alpha, source channel and destination channel, through
    // the widest kernel, against blendPixel (itself checked above).
    std::vector<std::uint32_t> src(65536), dst(65536), want(65536);
    for (std::uint32_t a = 1; a < 255; ++a) {
        for (std::uint32_t i = 0; i < 65536; ++i) {
            const std::uint32_t s = i >> 8, d = i & 255;
            src[i] = a << 24 | s << 16 | d << 8 | (s ^ d);
            dst[i] = 0xFF000000u | d << 16 | s << 8 | (255 - d);
            want[i] = blendPixel(dst[i], src[i]);
        }
        blendRow(dst.data(), src.data(), 65536);
        ASSERT_EQ(dst, want) << "alpha " << a;
    }
}

TEST(RasterKernels, BlocksAndFills) {
    // A 3 x 2 block read upwards and mirrored into a 5-wide picture.
    std::vector<std::uint32_t> src = {0x80000001u, 0xFF000002u, 0x00000003u, 0xFF000004u, 0x40000005u, 0xFF000006u};
    std::vector<std::uint32_t> dst(10, 0xFF0000F0u), want(dst);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) want[j * 5 + 1 + i] = blendPixel(want[j * 5 + 1 + i], src[(1 - j) * 3 + 2 - i]);
    blendRect(dst.data() + 1, 5, src.data() + 3, -3, 3, 2, true);
    EXPECT_EQ(dst, want);
    // A promised opaque destination gives the same pixels.
    std::mt19937 rng(3);
    std::vector<std::uint32_t> wide(300), under(300, 0xFF102030u), promised(under);
    for (auto& p : wide) p = static_cast<std::uint32_t>(rng());
    blendRect(under.data(), 100, wide.data(), 100, 100, 3, false, false);
    blendRect(promised.data(), 100, wide.data(), 100, 100, 3, false, true);
    EXPECT_EQ(under, promised);
    std::vector<std::uint32_t> pixels(7 * 3, 0);
    fillRect(pixels.data() + 8, 7, 37 % 7, 2, 0xFF123456u);  // 2 rows of 2
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xFF123456u), 4);
    EXPECT_EQ(pixels[8], 0xFF123456u);
    EXPECT_EQ(pixels[16], 0xFF123456u);
    EXPECT_EQ(pixels[10], 0u);
    // Whole rows of a large picture go as one block.
    std::vector<std::uint32_t> screen(200 * 102, 1u);
    fillRect(screen.data() + 200, 200, 200, 100, 0xFF654321u);
    EXPECT_EQ(std::count(screen.begin(), screen.end(), 0xFF654321u), 20000);
    EXPECT_EQ(screen[199], 1u);
    EXPECT_EQ(screen[200 * 101], 1u);
}

TEST(RasterKernels, CopiesFillsAndOpacity) {
    std::vector<std::uint32_t> src = {1, 2, 3, 4, 5}, dst(5);
    copyRowMirrored(dst.data(), src.data(), 5);
    EXPECT_EQ(dst, (std::vector<std::uint32_t>{5, 4, 3, 2, 1}));
    // A picture drawn onto itself one pixel along.
    copyRow(src.data() + 1, src.data(), 4);
    EXPECT_EQ(src, (std::vector<std::uint32_t>{1, 1, 2, 3, 4}));
    blendFillRow(dst.data(), 2, 0x80FFFFFFu);  // over translucent near-black: exact operator
    EXPECT_EQ(dst[0], overExact(5, 0x80FFFFFFu));
    blendFillRow(dst.data(), 5, 0x00123456u);
    EXPECT_EQ(dst[4], 1u);

    std::vector<std::uint32_t> pixels(37, 0xFF123456u);
    EXPECT_TRUE(allOpaque(pixels.data(), pixels.size()));
    pixels[36] = 0xFE000000u;
    EXPECT_FALSE(allOpaque(pixels.data(), pixels.size()));
    EXPECT_TRUE(allOpaque(pixels.data(), 0));
}

// The window's enlargements: every output pixel is the source pixel it covers.
TEST(ZoomKernels, ExactDoublingAndNearestNeighbourMatchReference) {
    const int w = 7, h = 5;
    std::vector<std::uint32_t> src(w * h);
    for (int i = 0; i < w * h; ++i) src[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    for (int zoom : {2, 3, 4}) {
        std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * zoom * h * zoom), rows;
        if (zoom == 2)
            platform::raster::zoomExact2(src.data(), w, h, rows, out.data());
        else
            platform::raster::zoomNearest(src.data(), w, h, zoom, out.data());
        for (int y = 0; y < h * zoom; ++y)
            for (int x = 0; x < w * zoom; ++x)
                ASSERT_EQ(out[static_cast<std::size_t>(y) * w * zoom + x], src[(y / zoom) * w + x / zoom])
                    << "zoom " << zoom << " at " << x << "," << y;
    }
}

}  // namespace
