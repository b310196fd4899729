// The software raster's hot paths beside their peers in the same run:
// source-over blits of non-premultiplied sprites next to pixman's OVER on
// premultiplied copies of the same pixels (prepared outside the timing) and
// next to memcpy of the same bytes; a tile map through Graphics; fillRect
// of the screen next to memset. Items are pixels written (blits, fills) or
// calls (tiles). For ratios, run with
//   --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//   --benchmark_report_aggregates_only=true
// and compare the medians.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/RasterKernels.h"
#include "platform/RasterSurface.h"

namespace {

using platform::PixelSource;
using platform::raster::Isa;

constexpr int kScreenW = 800, kScreenH = 600;

enum Layer { Sprite, Opaque, Translucent };

// A square sprite: a disc, opaque inside, soft at its edge, clear outside.
std::vector<std::uint32_t> makePixels(int size, Layer layer, std::uint32_t seed) {
    std::vector<std::uint32_t> p(static_cast<std::size_t>(size) * size);
    std::mt19937 rng(seed);
    const double c = (size - 1) / 2.0, r = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const std::uint32_t rgb = rng() & 0xFFFFFF;
            std::uint32_t a = 255;
            if (layer == Translucent) a = 128;
            if (layer == Sprite) {
                const double d = std::hypot(x - c, y - c);
                a = d > r ? 0 : d > r - 3 ? static_cast<std::uint32_t>(255 * (r - d) / 3) : 255;
            }
            p[static_cast<std::size_t>(y) * size + x] = a << 24 | rgb;
        }
    return p;
}

std::vector<std::uint32_t> premultiplied(const std::vector<std::uint32_t>& p) {
    std::vector<std::uint32_t> out(p.size());
    for (std::size_t i = 0; i < p.size(); ++i) {
        const std::uint32_t a = p[i] >> 24;
        std::uint32_t v = a << 24;
        for (int s = 0; s < 24; s += 8) v |= (((p[i] >> s) & 255) * a + 127) / 255 << s;
        out[i] = v;
    }
    return out;
}

struct Placement {
    int x, y;
    std::int64_t visible;  // pixels inside the screen
};

// Random positions, a quarter of them hanging over an edge.
std::vector<Placement> placements(int size) {
    std::mt19937 rng(size);
    std::vector<Placement> out;
    for (int i = 0; i < 256; ++i) {
        int x, y;
        if (i % 4 == 0) {
            x = static_cast<int>(rng() % (kScreenW + size)) - size + 1;
            y = (rng() % 2) ? -static_cast<int>(rng() % size) : kScreenH - size + static_cast<int>(rng() % size);
        } else {
            x = static_cast<int>(rng() % (kScreenW - size + 1));
            y = static_cast<int>(rng() % (kScreenH - size + 1));
        }
        const std::int64_t w = std::min(x + size, kScreenW) - std::max(x, 0);
        const std::int64_t h = std::min(y + size, kScreenH) - std::max(y, 0);
        out.push_back({x, y, std::max<std::int64_t>(w, 0) * std::max<std::int64_t>(h, 0)});
    }
    return out;
}

std::shared_ptr<platform::Picture> screen() {
    auto p = std::make_shared<platform::Picture>();
    p->width = kScreenW;
    p->height = kScreenH;
    p->pixels.assign(static_cast<std::size_t>(kScreenW) * kScreenH, 0xFF204060u);
    p->opaque = true;
    return p;
}

// Sizes 16, 32, 64, 200 are sprites; 800 is a full-screen layer.
struct Workload {
    int size;
    Layer layer;
};

Workload workload(const benchmark::State& state) {
    return {static_cast<int>(state.range(0)), static_cast<Layer>(state.range(1))};
}

void BM_BlitOurs(benchmark::State& state) {
    const Workload w = workload(state);
    const Isa saved = platform::raster::activeIsa();
    platform::raster::useIsa(static_cast<Isa>(state.range(2)));
    const auto pixels = makePixels(w.size, w.layer, 1);
    const PixelSource src{pixels.data(), w.size, w.size, w.size, w.layer == Opaque};
    auto target = screen();
    platform::RasterSurface surface(target);
    const auto where = w.size == kScreenW ? std::vector<Placement>{{0, 0, std::int64_t{kScreenW} * kScreenH}}
                                          : placements(w.size);
    std::int64_t drawn = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        const Placement& p = where[i++ % where.size()];
        surface.drawImage(src, p.x, p.y);
        drawn += p.visible;
    }
    benchmark::DoNotOptimize(target->pixels.data());
    state.SetItemsProcessed(drawn);
    platform::raster::useIsa(saved);
}

void BM_BlitPixman(benchmark::State& state) {
    const Workload w = workload(state);
    auto pixels = premultiplied(makePixels(w.size, w.layer, 1));
    pixman_image_t* src = pixman_image_create_bits(w.layer == Opaque ? PIXMAN_x8r8g8b8 : PIXMAN_a8r8g8b8, w.size,
                                                   w.size, pixels.data(), w.size * 4);
    auto target = screen();
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kScreenW, kScreenH, target->pixels.data(), kScreenW * 4);
    const auto where = w.size == kScreenW ? std::vector<Placement>{{0, 0, std::int64_t{kScreenW} * kScreenH}}
                                          : placements(w.size);
    std::int64_t drawn = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        const Placement& p = where[i++ % where.size()];
        pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, p.x, p.y, w.size, w.size);
        drawn += p.visible;
    }
    benchmark::DoNotOptimize(target->pixels.data());
    state.SetItemsProcessed(drawn);
    pixman_image_unref(src);
    pixman_image_unref(dst);
}

void BM_BlitMemcpy(benchmark::State& state) {
    const Workload w = workload(state);
    const auto pixels = makePixels(w.size, w.layer, 1);
    auto target = screen();
    const auto where = w.size == kScreenW ? std::vector<Placement>{{0, 0, std::int64_t{kScreenW} * kScreenH}}
                                          : placements(w.size);
    std::int64_t drawn = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        const Placement& p = where[i++ % where.size()];
        // The same visible rows, copied.
        const int x0 = std::max(p.x, 0), x1 = std::min(p.x + w.size, kScreenW);
        const int y0 = std::max(p.y, 0), y1 = std::min(p.y + w.size, kScreenH);
        for (int y = y0; y < y1; ++y)
            std::memcpy(target->pixels.data() + static_cast<std::size_t>(y) * kScreenW + x0,
                        pixels.data() + static_cast<std::size_t>(y - p.y) * w.size + (x0 - p.x),
                        static_cast<std::size_t>(x1 - x0) * 4);
        drawn += p.visible;
    }
    benchmark::DoNotOptimize(target->pixels.data());
    state.SetItemsProcessed(drawn);
}

void blitArgs(benchmark::internal::Benchmark* b, bool withIsa) {
    const std::vector<std::vector<std::int64_t>> loads = {{16, Sprite}, {32, Sprite}, {64, Sprite}, {200, Sprite},
                                                          {800, Opaque}, {800, Translucent}, {800, Sprite}};
    for (const auto& l : loads) {
        if (!withIsa) {
            b->Args({l[0], l[1]});
            continue;
        }
        for (const Isa isa : {Isa::Sse2, Isa::Avx2})
            if (static_cast<int>(isa) <= static_cast<int>(platform::raster::bestIsa()))
                b->Args({l[0], l[1], static_cast<std::int64_t>(isa)});
    }
}

// --- the tile map -----------------------------------------------------------------
// 21 x 19 cells of 40 x 32 from an 8 x 8 tileset, each drawn the handset
// way: clip to the cell, then drawImage of the whole set shifted.

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

void tileMap(benchmark::State& state, int viewX) {
    auto canvas = Image::createImage(kScreenW, kScreenH);
    auto g = canvas->getGraphics();
    std::vector<std::int32_t> set(320 * 256);
    std::mt19937 rng(9);
    for (auto& p : set) p = static_cast<std::int32_t>(0xFF000000u | (rng() & 0xFFFFFF));
    auto tileset = Image::createRGBImage(set, 320, 256, false);
    std::int64_t calls = 0;
    for (auto _ : state) {
        for (int ty = 0; ty < 19; ++ty)
            for (int tx = 0; tx < 21; ++tx) {
                const int tile = (tx * 7 + ty * 3) % 64, x = viewX + tx * 40, y = ty * 32;
                g->setClip(x, y, 40, 32);
                g->drawImage(tileset, x - (tile % 8) * 40, y - (tile / 8) * 32, Graphics::TOP | Graphics::LEFT);
            }
        calls += 21 * 19;
    }
    benchmark::DoNotOptimize(canvas->pixelBuffer());
    state.SetItemsProcessed(calls);
}

void BM_TileMap(benchmark::State& state) { tileMap(state, -20); }
// The same calls with the map scrolled off the screen: nothing is drawn,
// so the time is the per-call overhead.
void BM_TileMapOverheadOnly(benchmark::State& state) { tileMap(state, 4000); }

// --- fills ------------------------------------------------------------------------

void BM_FillRectScreen(benchmark::State& state) {
    auto canvas = Image::createImage(kScreenW, kScreenH);
    auto g = canvas->getGraphics();
    int colour = 0;
    for (auto _ : state) {
        g->setColor(colour++);
        g->fillRect(0, 0, kScreenW, kScreenH);
    }
    benchmark::DoNotOptimize(canvas->pixelBuffer());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kScreenW * kScreenH);
}

void BM_MemsetScreen(benchmark::State& state) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kScreenW) * kScreenH);
    int value = 0;
    for (auto _ : state) std::memset(pixels.data(), value++, pixels.size() * 4);
    benchmark::DoNotOptimize(pixels.data());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kScreenW * kScreenH);
}

}  // namespace

BENCHMARK(BM_BlitOurs)->Apply([](benchmark::internal::Benchmark* b) { blitArgs(b, true); });
BENCHMARK(BM_BlitPixman)->Apply([](benchmark::internal::Benchmark* b) { blitArgs(b, false); });
BENCHMARK(BM_BlitMemcpy)->Apply([](benchmark::internal::Benchmark* b) { blitArgs(b, false); });
BENCHMARK(BM_TileMap);
BENCHMARK(BM_TileMapOverheadOnly);
BENCHMARK(BM_FillRectScreen);
BENCHMARK(BM_MemsetScreen);
