#include "game/flow/MenuBackground.h"

#include <algorithm>
#include <cstdint>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/ui/TextPanel.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game::flow {

using world::GameWorld;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
}

int MenuBackground::stripOffset(int clock, int period, int w) {
    const std::int64_t t = ((clock % period) + period) % period;
    return static_cast<int>(-(t * w) / period);
}

void MenuBackground::advance(int ms) {
    int& clock = Brindle::shared().machine.backdropClock;
    // Wraps at a common multiple of both periods, so the drift never jumps.
    clock = static_cast<int>((std::int64_t{clock} + std::max(ms, 0)) % 20000);
    for (SpriteSheet& strip : GameWorld::state().backdrops) strip.update(ms);
}

void MenuBackground::draw(Graphics& g) {
    const auto& world = GameWorld::state();
    const auto& p = world.themePalette;
    const int y0 = kH - kH / 5;
    g.setClip(0, 0, kW, kH);
    if (y0 - 110 > 0) {
        g.setColor(p[0]);
        g.fillRect(0, 0, kW, y0 - 110);
    }
    if (y0 + 110 < kH) {
        g.setColor(p[3]);
        g.fillRect(0, y0 + 110, kW, kH - y0 - 110);
    }
    TextPanel::gradient(g, 0, y0 - 110, kW, 137, p[0], p[1], 5);
    TextPanel::gradient(g, 0, y0, kW, 137, p[2], p[3], 5);
    const int clock = Brindle::shared().machine.backdropClock;
    for (int i = 0; i < 2; ++i) {
        const SpriteSheet& strip = world.backdrops[static_cast<std::size_t>(i)];
        const int w = strip.getExtentX();
        if (!strip.getCurrentAnimation() || w <= 0) continue;
        for (int x = stripOffset(clock, kPeriods[i], w); x - strip.getRefX() < kW; x += w) strip.draw(g, x, y0);
    }
}

void MenuBackground::drawCached(Graphics& g) {
    auto& world = GameWorld::state();
    auto& picture = GameWorld::offscreen();
    if (world.backgroundDirty) {
        draw(*picture.getGraphics());
        world.backgroundDirty = false;
    }
    g.setClip(0, 0, kW, kH);
    g.drawImage(world.screenBuffer, 0, 0, Graphics::TOP | Graphics::LEFT);
}

}  // namespace game::flow
