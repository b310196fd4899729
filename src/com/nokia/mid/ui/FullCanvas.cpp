#include "com/nokia/mid/ui/FullCanvas.h"

#include "TarvokinEmu/Trace.h"
#include "java/lang/Exceptions.h"

namespace com::nokia::mid::ui {

FullCanvas::FullCanvas() { TarvokinEmu::traceFirstUse("com.nokia.mid.ui.FullCanvas"); }

void FullCanvas::addCommand(const std::shared_ptr<javax::microedition::lcdui::Command>&) {
    throw java::lang::IllegalStateException();
}

void FullCanvas::setCommandListener(javax::microedition::lcdui::CommandListener*) {
    throw java::lang::IllegalStateException();
}

}  // namespace com::nokia::mid::ui
