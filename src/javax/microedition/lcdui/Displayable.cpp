#include "javax/microedition/lcdui/Displayable.h"

#include "TarvokinEmu/Emulator.h"

namespace javax::microedition::lcdui {

Displayable::Displayable() { TarvokinEmu::Emulator::traceFirstUse("javax.microedition.lcdui.Displayable"); }

int Displayable::getWidth() { return TarvokinEmu::Emulator::config().screenWidth; }

int Displayable::getHeight() { return TarvokinEmu::Emulator::config().screenHeight; }

}  // namespace javax::microedition::lcdui
