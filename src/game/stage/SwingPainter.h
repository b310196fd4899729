// Drawing of the swing stage, by phase: the world picture (drawn again into
// the world's screen buffer only when the camera moved), then the stage's
// layers (the rail, the splat marks, a bonus level's objects, the scene
// with the bat, rope, queue, targets and character, the shot counter, the
// effects and a bonus level's goal counter), then the popup, a panel
// window or the closing wipe. Reads the stage and the world; changes
// nothing but the world picture.
#pragma once

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::stage {

class SwingPainter {
public:
    using Graphics = javax::microedition::lcdui::Graphics;

    static constexpr int kArmColour = 0x110F0E, kArmShade = 0x3D3025, kArmLight = 0x5B462D;
    static constexpr int kWipeColour = 0xF79300;
    static constexpr int kWipeGrowMs = 2048;

    static void paint(Graphics& g);

    // ---- layers (tests and views) ----
    // The world picture: redrawn into the screen buffer when the camera
    // moved, then copied to g.
    static void drawWorldPicture(Graphics& g);
    static void drawRail(Graphics& g);
    static void drawMarks(Graphics& g);
    static void drawScene(Graphics& g);
    static void drawShotCounter(Graphics& g);
    static void drawGoalCounter(Graphics& g);
    static void drawWipe(Graphics& g);
    // The frame of the bat head for a bat angle (16.16).
    static int batHeadFrame(int batAngle);
};

}  // namespace game::stage
