// Drawing of the crash stage, by phase: the world's layers with the
// character and the HUD while the launches fly, the loading colour
// receding over the intro, the orange band that wipes over the world and
// then uncovers the results, and the failure panel over the world.
#pragma once

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::stage {

class CrashPainter {
public:
    using Graphics = javax::microedition::lcdui::Graphics;
    static constexpr int kBandColour = 0xF79300;
    static constexpr int kLaunchCounterX = 25, kLaunchCounterY = 35;
    static constexpr int kBarFrame = 0x542F1E, kBarFill = 0x311100;

    // The frame of state 1002; nothing when no step ran since the last one
    // (unless the screen shakes, which needs every frame drawn).
    static void paint(Graphics& g);

    // ---- parts, also used by tests ----
    static void drawWorldLayers(Graphics& g, bool character, bool overlay);
    static void drawCharacter(Graphics& g);
    static void drawHud(Graphics& g);
    static void drawResults(Graphics& g);
    // The band from the top of the screen to `bottom`, the results crab on
    // its lower edge.
    static void drawBand(Graphics& g, int bottom);
    // Height of the band t ms into its 2048 ms run (growing).
    static int bandHeight(int t);
    // The aim pointer's frame for an aim angle (16.16, 256 a turn).
    static int aimFrame(int aimAngle);
};

}  // namespace game::stage
