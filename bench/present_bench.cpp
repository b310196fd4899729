// One present of the 800 x 600 phone screen as the shell's paint does it
// (the zoom when there is one, then the window's present: texture upload,
// copy, show) beside one memcpy of the same frame, and the comparison that
// spares an unchanged frame its present. Items are frames; bytes
// are those of the phone screen.
//
// It runs on whatever display SDL finds: SDL_VIDEODRIVER=dummy gives SDL's
// software renderer, a DISPLAY the real one. Where the renderer waits for
// the display's refresh, SDL_RENDER_VSYNC=0 measures the work alone. For
// ratios, run with --benchmark_repetitions=9
// --benchmark_enable_random_interleaving=true
// --benchmark_report_aggregates_only=true and compare the medians.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "platform/RasterKernels.h"
#include "platform/SdlWindowSystem.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr std::size_t kPixels = static_cast<std::size_t>(kWidth) * kHeight;

std::vector<std::uint32_t> frame() {
    std::vector<std::uint32_t> pixels(kPixels);
    std::mt19937 rng(7);
    for (auto& p : pixels) p = 0xFF000000u | (rng() & 0xFFFFFFu);
    return pixels;
}

// The window, made once on this thread, which becomes its event thread.
platform::Window* window() {
    static std::unique_ptr<platform::SdlWindowSystem> system;
    static std::unique_ptr<platform::Window> made;
    static bool tried = false;
    if (!tried) {
        tried = true;
        try {
            system = std::make_unique<platform::SdlWindowSystem>();
            platform::WindowSystem::install(system.get());
            system->events().attachCurrentThread();
            made = system->createWindow();
            made->setOuterSize(kWidth, kHeight);
            made->show();
        } catch (const std::exception&) {
            made.reset();
        }
    }
    return made.get();
}

void BM_MemcpyFrame(benchmark::State& state) {
    const auto src = frame();
    std::vector<std::uint32_t> dst(kPixels);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), kPixels * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kPixels * sizeof(std::uint32_t)));
}
BENCHMARK(BM_MemcpyFrame);

// What an unchanged frame costs the shell instead of a present: comparing
// it with the last frame shown.
void BM_CompareFrame(benchmark::State& state) {
    const auto a = frame(), b = frame();
    for (auto _ : state) benchmark::DoNotOptimize(std::equal(a.begin(), a.end(), b.begin()));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kPixels * sizeof(std::uint32_t)));
}
BENCHMARK(BM_CompareFrame);

// Arg: the zoom (1 shows the screen as it is, 2 doubles it first).
void BM_PresentFrame(benchmark::State& state) {
    platform::Window* w = window();
    if (!w) {
        state.SkipWithError("no display to open a window on");
        return;
    }
    const int zoom = static_cast<int>(state.range(0));
    const auto src = frame();
    std::vector<std::uint32_t> zoomed(kPixels * zoom * zoom), rows;
    for (auto _ : state) {
        const std::uint32_t* shown = src.data();
        if (zoom == 2) {
            platform::raster::zoomExact2(src.data(), kWidth, kHeight, rows, zoomed.data());
            shown = zoomed.data();
        }
        w->present(shown, kWidth * zoom, kHeight * zoom, 0, 0);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kPixels * sizeof(std::uint32_t)));
}
BENCHMARK(BM_PresentFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
