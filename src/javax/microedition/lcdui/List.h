// Inert: lists are never shown.
#pragma once

#include "javax/microedition/lcdui/Screen.h"

namespace javax::microedition::lcdui {

class List : public Screen {
public:
    int getSelectedIndex() { return 0; }
    void setFitPolicy(int policy) {}
};

}  // namespace javax::microedition::lcdui
