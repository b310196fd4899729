// Form-based screens are never shown; these classes exist so that
// applications written against them build, and they do nothing.
#pragma once

#include "javax/microedition/lcdui/Displayable.h"

namespace javax::microedition::lcdui {

class Screen : public Displayable {};

}  // namespace javax::microedition::lcdui
