// A game canvas for desktop play: mouse buttons and the wheel arrive through
// the desktop operations (DesktopMouseListener) instead of the pointer
// calls. Coordinates are phone-screen pixels. The spare slots are never
// called.
#pragma once

#include "TarvokinEmu/DesktopMouseListener.h"
#include "javax/microedition/lcdui/game/GameCanvas.h"

namespace com::qorvi::tkemu::graphics {

class DesktopGameCanvas : public javax::microedition::lcdui::game::GameCanvas,
                          public TarvokinEmu::DesktopMouseListener {
public:
    explicit DesktopGameCanvas(bool suppressKeyEvents) : GameCanvas(suppressKeyEvents) {}

    virtual void desktopSpare3(int x, int y, bool flag) = 0;
    virtual void desktopSpare4(int x, int y, bool flag) = 0;
    virtual void desktopSpare1(int x, int y) = 0;
    virtual void desktopSpare2(int x, int y) = 0;
    // desktopMousePressed, desktopMouseReleased and desktopMouseWheel come
    // from DesktopMouseListener.
};

}  // namespace com::qorvi::tkemu::graphics
