#include "javax/microedition/lcdui/Displayable.h"

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Trace.h"

namespace javax::microedition::lcdui {

Displayable::Displayable() { TarvokinEmu::traceFirstUse("javax.microedition.lcdui.Displayable"); }

int Displayable::getWidth() { return TarvokinEmu::config().screenWidth; }

int Displayable::getHeight() { return TarvokinEmu::config().screenHeight; }

}  // namespace javax::microedition::lcdui
