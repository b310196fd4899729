// The mouse of a desktop canvas: a canvas that implements this receives its
// button presses, releases and wheel steps here instead of as pointer calls
// (movement still arrives as pointerDragged). Coordinates are phone-screen
// pixels.
#pragma once

namespace TarvokinEmu {

class DesktopMouseListener {
public:
    virtual ~DesktopMouseListener() = default;
    virtual void desktopMousePressed(int x, int y, bool rightButton) = 0;
    virtual void desktopMouseReleased(int x, int y, bool rightButton) = 0;
    // One wheel step at the last pointer position; up is away from the user.
    virtual void desktopMouseWheel(int x, int y, bool up) = 0;
};

}  // namespace TarvokinEmu
