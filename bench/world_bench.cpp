// One world frame beside one memcpy of the 800 x 600 frame. Run from the
// build directory (or its bench/ folder) so that the packs are found;
// TIDEPOOL_DATA overrides the folder.
//
// BM_WorldFrame draws sky, backdrops, the back overlay, a screen full of
// tiles (every visible cell holds a tile, a quarter of them breakable, a
// quarter with a decoration behind), 40 objects and 50 effects, as a crash
// stage frame does. BM_WorldFrameOpenGl draws the same frame through the
// OpenGL path, swap included; it needs an X display with OpenGL (for
// instance `Xvfb :7 & DISPLAY=:7 LIBGL_ALWAYS_SOFTWARE=1 bench/world_bench`)
// and names the renderer in its label. BM_MemcpyFrame copies the 1.9 MB
// frame once.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "game/SpriteSheet.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "game/world/WorldPainter.h"
#include "TarvokinEmu/gl/GLMaster.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/OpenGlGraphicsBackend.h"
#include "platform/EventLoop.h"
#include "platform/GlRenderer.h"
#include "platform/HeadlessWindow.h"

namespace {

using namespace game::world;
using javax::microedition::lcdui::Image;

constexpr int kCrashMap = 53;  // a crash map with a finale

bool enterDataDir() {
    const char* env = std::getenv("TIDEPOOL_DATA");
    for (const char* dir : {env, ".", ".."}) {
        if (dir && std::filesystem::exists(std::filesystem::path(dir) / "r6")) return chdir(dir) == 0;
    }
    return false;
}

bool prepareWorld() {
    if (!enterDataDir()) return false;
    GameWorld::resetClassState();
    game::SpriteSheet::initImages();
    LevelLoader::loadLevel(LevelLoader::kTableMap, false, LevelLoader::TABLE);
    LevelLoader::loadLevel(kCrashMap, false, LevelLoader::PAD_ABOVE);
    auto& s = GameWorld::state();
    s.crashStage = true;
    s.overlay = true;
    GameWorld::setTheme(0);
    GameWorld::loadOverlays();
    GameWorld::loadTileImage();
    s.floatingDigits = GameWorld::makeSprite(GameWorld::kFloatingDigits, false);
    for (std::size_t i = 0; i < s.tileMap.size(); ++i) {
        s.tileMap[i] = static_cast<std::uint8_t>(i % 4 == 0 ? 1 + i % 20 : 21 + i % 55);
        s.decorLayer[i] = static_cast<std::uint8_t>(i % 4 == 1 ? 52 : 0);
    }
    s.cameraX = 400;
    s.cameraY = 0;
    for (int i = 0; GameWorld::spawnObject(10 + i % 20, 5 + i % 10, 4 + i % 6) >= 0; ++i) {
    }
    for (int i = 0; i < GameWorld::kEffectSlots; ++i) GameWorld::spawnEffect(400 + 10 * i, 100 + 8 * i, i % 5 == 0 ? (3 << 8) | 8 : 1 + i % 10);
    return true;
}

void drawFrame(javax::microedition::lcdui::Graphics& g) {
    WorldPainter::drawWorld(g);
    WorldPainter::drawObjects(g);
    WorldPainter::drawEffects(g);
    WorldPainter::drawFrontOverlay(g);
}

void BM_WorldFrame(benchmark::State& state) {
    if (!prepareWorld()) return state.SkipWithError("no packs found");
    auto screen = Image::createImage(800, 600);
    auto g = screen->getGraphics();
    int objects = 0, effects = 0;
    for (const auto& o : GameWorld::state().objects) objects += o.has_value();
    for (const auto& e : GameWorld::state().effects) effects += e.has_value();
    for (auto _ : state) {
        drawFrame(*g);
        benchmark::ClobberMemory();
    }
    state.counters["objects"] = objects;
    state.counters["effects"] = effects;
}
BENCHMARK(BM_WorldFrame)->Unit(benchmark::kMicrosecond);

void BM_WorldFrameOpenGl(benchmark::State& state) {
    using TarvokinEmu::gl::GLMaster;
    if (!prepareWorld()) return state.SkipWithError("no packs found");
    platform::EventLoop events;
    platform::HeadlessWindow window(events, {});
    window.setOuterSize(800, 600);
    window.show();
    try {
        GLMaster::initialise(window, 800, 600);
    } catch (const std::exception& e) {
        return state.SkipWithError(e.what());
    }
    javax::microedition::lcdui::Graphics g(
        std::make_unique<javax::microedition::lcdui::OpenGlGraphicsBackend>(800, 600), 800, 600);
    for (auto _ : state) {
        drawFrame(g);
        GLMaster::frameDrawn(nullptr);
        GLMaster::upkeep();  // keep, swap, start the next frame from it
        platform::GlRenderer::finish();
    }
    state.SetLabel(platform::GlRenderer::rendererName());
    GLMaster::close();
}
BENCHMARK(BM_WorldFrameOpenGl)->Unit(benchmark::kMicrosecond);

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<std::uint32_t> from(800 * 600, 0xFF336699u), to(800 * 600);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof from[0]);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(from.size() * 4));
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
