// The Siemens game canvas: drawing goes straight to the phone screen and
// flushGraphics shows a whole frame.
#pragma once

#include <memory>

#include "javax/microedition/lcdui/Canvas.h"

namespace com::siemens::mp::color_game {

class GameCanvas : public javax::microedition::lcdui::Canvas {
public:
    // Key events are delivered whatever the flag says.
    explicit GameCanvas(bool suppressKeyEvents);

    std::shared_ptr<javax::microedition::lcdui::Graphics> getGraphics();
    // The region is ignored: a whole frame runs.
    void flushGraphics();
    void flushGraphics(int x, int y, int width, int height);
    int getKeyStates() { return 0; }
    void paint(javax::microedition::lcdui::Graphics&) override {}
};

}  // namespace com::siemens::mp::color_game
