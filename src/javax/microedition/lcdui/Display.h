// The display carries no state: there is one screen, the current canvas.
#pragma once

#include <memory>

#include "java/lang/Runnable.h"

namespace javax::microedition::midlet {
class MIDlet;
}

namespace javax::microedition::lcdui {

class Displayable;

class Display {
public:
    static std::shared_ptr<Display> getDisplay(javax::microedition::midlet::MIDlet* m);

    void setCurrent(Displayable* d) {}
    Displayable* getCurrent() { return nullptr; }
    // Queues r for the supervisor thread, replacing a call still pending.
    void callSerially(std::shared_ptr<java::lang::Runnable> r);
    bool isColor() { return true; }
    int numColors() { return 65536; }
    int numAlphaLevels() { return 1; }
    bool flashBacklight(int duration) { return false; }
    bool vibrate(int duration) { return false; }
    int getBestImageWidth(int imageType) { return 0; }
    int getBestImageHeight(int imageType) { return 0; }
    int getBorderStyle(bool highlighted) { return 0; }
    int getColor(int colorSpecifier) { return 0; }
};

}  // namespace javax::microedition::lcdui
