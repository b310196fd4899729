// One full world frame (as world_bench draws it) through the OpenGL path,
// swap included, beside the same frame on the software raster and one
// memcpy of the frame. Needs an X display with OpenGL (for instance Xvfb:
// `Xvfb :7 & DISPLAY=:7 LIBGL_ALWAYS_SOFTWARE=1 bench/gl_bench`); the
// renderer's name is reported as the label. Run from the build directory
// so that the packs are found.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "TarvokinEmu/gl/GLMaster.h"
#include "game/SpriteSheet.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "game/world/WorldPainter.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/OpenGlGraphicsBackend.h"
#include "platform/EventLoop.h"
#include "platform/GlRenderer.h"
#include "platform/HeadlessWindow.h"

namespace {

using namespace game::world;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using TarvokinEmu::gl::GLMaster;

bool prepareWorld() {
    static bool ready = false;
    if (ready) return true;
    const char* env = std::getenv("TIDEPOOL_DATA");
    bool found = false;
    for (const char* dir : {env, ".", ".."})
        if (dir && std::filesystem::exists(std::filesystem::path(dir) / "r6")) {
            found = chdir(dir) == 0;
            break;
        }
    if (!found) return false;
    GameWorld::resetClassState();
    game::SpriteSheet::initImages();
    LevelLoader::loadLevel(LevelLoader::kTableMap, false, LevelLoader::TABLE);
    LevelLoader::loadLevel(53, false, LevelLoader::PAD_ABOVE);
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
    for (int i = 0; GameWorld::spawnObject(10 + i % 20, 5 + i % 10, 4 + i % 6) >= 0; ++i) {
    }
    for (int i = 0; i < GameWorld::kEffectSlots; ++i)
        GameWorld::spawnEffect(400 + 10 * i, 100 + 8 * i, i % 5 == 0 ? (3 << 8) | 8 : 1 + i % 10);
    ready = true;
    return true;
}

void drawFrame(Graphics& g) {
    WorldPainter::drawWorld(g);
    WorldPainter::drawObjects(g);
    WorldPainter::drawEffects(g);
    WorldPainter::drawFrontOverlay(g);
}

void BM_WorldFrameSoftware(benchmark::State& state) {
    if (!prepareWorld()) return state.SkipWithError("no packs found");
    auto screen = Image::createImage(800, 600);
    auto g = screen->getGraphics();
    for (auto _ : state) {
        drawFrame(*g);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WorldFrameSoftware)->Unit(benchmark::kMicrosecond);

void BM_WorldFrameOpenGl(benchmark::State& state) {
    if (!prepareWorld()) return state.SkipWithError("no packs found");
    platform::EventLoop events;
    platform::HeadlessWindow window(events, {});
    window.setOuterSize(800, 600);
    try {
        GLMaster::initialise(window, 800, 600);
    } catch (const std::exception& e) {
        return state.SkipWithError(e.what());
    }
    Graphics g(std::make_unique<javax::microedition::lcdui::OpenGlGraphicsBackend>(800, 600), 800, 600);
    for (auto _ : state) {
        drawFrame(g);
        GLMaster::frameDrawn(nullptr);
        GLMaster::upkeep();  // swap and clear
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
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
