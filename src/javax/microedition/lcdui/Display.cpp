#include "javax/microedition/lcdui/Display.h"

#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Trace.h"

namespace javax::microedition::lcdui {

std::shared_ptr<Display> Display::getDisplay(javax::microedition::midlet::MIDlet*) {
    TarvokinEmu::traceFirstUse("javax.microedition.lcdui.Display");
    return std::make_shared<Display>();
}

void Display::callSerially(std::shared_ptr<java::lang::Runnable> r) {
    TarvokinEmu::shared().serialCall = std::move(r);
}

}  // namespace javax::microedition::lcdui
