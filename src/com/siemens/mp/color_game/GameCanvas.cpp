#include "com/siemens/mp/color_game/GameCanvas.h"

#include "TarvokinEmu/Emulator.h"

namespace com::siemens::mp::color_game {

GameCanvas::GameCanvas(bool) { TarvokinEmu::Emulator::traceFirstUse("com.siemens.mp.color_game.GameCanvas"); }

std::shared_ptr<javax::microedition::lcdui::Graphics> GameCanvas::getGraphics() {
    return TarvokinEmu::Emulator::shared().screenGraphics;
}

void GameCanvas::flushGraphics() { repaint(); }

void GameCanvas::flushGraphics(int, int, int, int) { repaint(); }

}  // namespace com::siemens::mp::color_game
