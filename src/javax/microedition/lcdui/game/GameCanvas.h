// A canvas whose graphics is the phone screen's own: drawing goes straight
// to the screen, and flushGraphics shows a whole frame.
#pragma once

#include <memory>

#include "javax/microedition/lcdui/Canvas.h"

namespace javax::microedition::lcdui::game {

class GameCanvas : public Canvas {
public:
    static constexpr int UP_PRESSED = 1 << UP, DOWN_PRESSED = 1 << DOWN, LEFT_PRESSED = 1 << LEFT,
                         RIGHT_PRESSED = 1 << RIGHT, FIRE_PRESSED = 1 << FIRE;

    // Key events are delivered whatever the flag says.
    explicit GameCanvas(bool suppressKeyEvents);

    std::shared_ptr<Graphics> getGraphics();
    void flushGraphics();
    void flushGraphics(int x, int y, int w, int h);
    int getKeyStates() { return 0; }
    void paint(Graphics& g) override {}
};

}  // namespace javax::microedition::lcdui::game
