// A game canvas for desktop play: mouse buttons and the wheel arrive through
// the desktop operations instead of the pointer calls. Coordinates are
// phone-screen pixels. The spare slots are never called.
#pragma once

#include "javax/microedition/lcdui/game/GameCanvas.h"

namespace com::qorvi::tkemu::graphics {

class DesktopGameCanvas : public javax::microedition::lcdui::game::GameCanvas {
public:
    explicit DesktopGameCanvas(bool suppressKeyEvents) : GameCanvas(suppressKeyEvents) {}

    virtual void desktopSpare3(int x, int y, bool flag) = 0;
    virtual void desktopSpare4(int x, int y, bool flag) = 0;
    virtual void desktopSpare1(int x, int y) = 0;
    virtual void desktopSpare2(int x, int y) = 0;
    virtual void desktopMousePressed(int x, int y, bool rightButton) = 0;
    virtual void desktopMouseReleased(int x, int y, bool rightButton) = 0;
    virtual void desktopMouseWheel(int x, int y, bool up) = 0;
};

}  // namespace com::qorvi::tkemu::graphics
