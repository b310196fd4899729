#include "javax/microedition/lcdui/Canvas.h"

#include "TarvokinEmu/Emulator.h"

namespace javax::microedition::lcdui {

using TarvokinEmu::Emulator;

Canvas::Canvas() {
    Emulator::traceFirstUse("javax.microedition.lcdui.Canvas");
    Emulator::shared().currentCanvas = this;
}

Canvas::~Canvas() {
    Canvas* self = this;
    Emulator::shared().currentCanvas.compare_exchange_strong(self, nullptr);
}

void Canvas::repaint() {
    if (Emulator* emulator = Emulator::getInstance()) emulator->renderFrame();
}

void Canvas::repaint(int, int, int, int) { Emulator::trace("TODO: Canvas.repaint(x,y,w,h);"); }

int Canvas::getGameAction(int keyCode) {
    const Emulator::Config& c = Emulator::config();
    if (keyCode == c.keyUp) return UP;
    if (keyCode == c.keyDown) return DOWN;
    if (keyCode == c.keyLeft) return LEFT;
    if (keyCode == c.keyRight) return RIGHT;
    if (keyCode == c.keyFire) return FIRE;
    return 0;
}

bool Canvas::hasPointerEvents() { return true; }

}  // namespace javax::microedition::lcdui
