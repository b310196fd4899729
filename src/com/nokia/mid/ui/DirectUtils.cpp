#include "com/nokia/mid/ui/DirectUtils.h"

#include "TarvokinEmu/Trace.h"
#include "com/nokia/mid/ui/DirectGraphicsImpl.h"
#include "javax/microedition/lcdui/Image.h"

namespace com::nokia::mid::ui {

namespace {
void opened() { TarvokinEmu::traceFirstUse("com.nokia.mid.ui.DirectUtils"); }
}  // namespace

std::shared_ptr<javax::microedition::lcdui::Image> DirectUtils::createImage(int width, int height, int argb) {
    opened();
    return javax::microedition::lcdui::Image::createImage(width, height, argb);
}

std::shared_ptr<javax::microedition::lcdui::Image> DirectUtils::createImage(const std::vector<std::int8_t>&, int,
                                                                            int) {
    opened();
    TarvokinEmu::trace("DirectUtils - createImage A");
    return nullptr;
}

std::shared_ptr<DirectGraphics> DirectUtils::getDirectGraphics(std::shared_ptr<javax::microedition::lcdui::Graphics> g) {
    opened();
    return std::make_shared<DirectGraphicsImpl>(std::move(g));
}

}  // namespace com::nokia::mid::ui
