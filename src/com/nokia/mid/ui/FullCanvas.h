// A canvas that covers the whole screen: it takes no commands.
#pragma once

#include <memory>

#include "javax/microedition/lcdui/Canvas.h"

namespace javax::microedition::lcdui {
class Command;
class CommandListener;
}  // namespace javax::microedition::lcdui

namespace com::nokia::mid::ui {

class FullCanvas : public javax::microedition::lcdui::Canvas {
public:
    static constexpr int KEY_UP_ARROW = -1, KEY_DOWN_ARROW = -2, KEY_LEFT_ARROW = -3, KEY_RIGHT_ARROW = -4,
                         KEY_SOFTKEY3 = -5, KEY_SOFTKEY1 = -6, KEY_SOFTKEY2 = -7, KEY_SEND = -10, KEY_END = -11;

    FullCanvas();

    // Both throw java::lang::IllegalStateException.
    void addCommand(const std::shared_ptr<javax::microedition::lcdui::Command>& cmd) override;
    void setCommandListener(javax::microedition::lcdui::CommandListener* listener) override;
};

}  // namespace com::nokia::mid::ui
