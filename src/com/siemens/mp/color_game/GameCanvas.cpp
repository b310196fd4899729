#include "com/siemens/mp/color_game/GameCanvas.h"

#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Trace.h"

namespace com::siemens::mp::color_game {

GameCanvas::GameCanvas(bool) { TarvokinEmu::traceFirstUse("com.siemens.mp.color_game.GameCanvas"); }

std::shared_ptr<javax::microedition::lcdui::Graphics> GameCanvas::getGraphics() {
    return TarvokinEmu::shared().screenGraphics;
}

void GameCanvas::flushGraphics() { repaint(); }

void GameCanvas::flushGraphics(int, int, int, int) { repaint(); }

}  // namespace com::siemens::mp::color_game
