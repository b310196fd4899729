#include "javax/microedition/lcdui/Canvas.h"

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Shell.h"
#include "TarvokinEmu/Trace.h"

namespace javax::microedition::lcdui {

Canvas::Canvas() {
    TarvokinEmu::traceFirstUse("javax.microedition.lcdui.Canvas");
    TarvokinEmu::shared().currentCanvas = this;
}

Canvas::~Canvas() {
    Canvas* self = this;
    TarvokinEmu::shared().currentCanvas.compare_exchange_strong(self, nullptr);
}

void Canvas::repaint() {
    if (TarvokinEmu::Shell* shell = TarvokinEmu::Shell::current()) shell->renderFrame();
}

void Canvas::repaint(int, int, int, int) { TarvokinEmu::trace("TODO: Canvas.repaint(x,y,w,h);"); }

int Canvas::getGameAction(int keyCode) {
    const TarvokinEmu::Config& c = TarvokinEmu::config();
    if (keyCode == c.keyUp) return UP;
    if (keyCode == c.keyDown) return DOWN;
    if (keyCode == c.keyLeft) return LEFT;
    if (keyCode == c.keyRight) return RIGHT;
    if (keyCode == c.keyFire) return FIRE;
    return 0;
}

bool Canvas::hasPointerEvents() { return true; }

}  // namespace javax::microedition::lcdui
