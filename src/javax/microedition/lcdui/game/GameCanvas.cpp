#include "javax/microedition/lcdui/game/GameCanvas.h"

#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Trace.h"

namespace javax::microedition::lcdui::game {

GameCanvas::GameCanvas(bool) {
    TarvokinEmu::traceFirstUse("javax.microedition.lcdui.Game.GameCanvas");
}

std::shared_ptr<Graphics> GameCanvas::getGraphics() { return TarvokinEmu::shared().screenGraphics; }

void GameCanvas::flushGraphics() { repaint(); }

void GameCanvas::flushGraphics(int, int, int, int) { repaint(); }

}  // namespace javax::microedition::lcdui::game
