// What the handset classes ask of the shell above them: a frame painted and
// shown, and the window rebuilt. The Emulator is the shell; the handset
// classes reach it only through this interface, so they need nothing of
// the window, the supervisor or the platform.
#pragma once

namespace TarvokinEmu {

class Shell {
public:
    // The shell made last is the current one until it goes away.
    Shell();
    virtual ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Null while there is none (unit tests of the handset classes).
    static Shell* current();

    // Paints the current canvas into the phone screen and shows it, then
    // paces the frame rate (Canvas.repaint, GameCanvas.flushGraphics).
    virtual void renderFrame() = 0;
    // Builds the window again, full screen or not (the vendor switch).
    virtual void setupWindow(bool fullScreen) = 0;
};

}  // namespace TarvokinEmu
