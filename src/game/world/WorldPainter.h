// Drawing the world in layers, each clipped to the screen: drawWorld (sky,
// backdrops, the full-screen pattern or back overlay, tiles and breakable
// cells), drawObjects (objects and the finale), drawEffects (effects and
// floating combo numbers) and, after the effects, the front overlay. A
// world point appears at its position minus the camera.
#pragma once

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::world {

class WorldPainter {
public:
    using Graphics = javax::microedition::lcdui::Graphics;
    static constexpr int kSkyBand = 110;  // rows of each sky gradient
    static constexpr int kSkyStep = 5;

    static void drawWorld(Graphics& g);
    static void drawObjects(Graphics& g);
    static void drawEffects(Graphics& g);
    static void drawFrontOverlay(Graphics& g);
    // The horizon of the sky for the current camera.
    static int skyBase();
};

}  // namespace game::world
