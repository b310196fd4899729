// The game's drawing surface. The canvas constructed last is current: it
// receives every key, pointer and show/hide call, and repaint() runs one
// whole frame synchronously on the calling thread.
#pragma once

#include "javax/microedition/lcdui/Displayable.h"

namespace javax::microedition::lcdui {

class Graphics;

class Canvas : public Displayable {
public:
    static constexpr int UP = 1, DOWN = 6, LEFT = 2, RIGHT = 5, FIRE = 8;
    static constexpr int GAME_A = 9, GAME_B = 10, GAME_C = 11, GAME_D = 12;
    static constexpr int KEY_NUM0 = 48, KEY_NUM1 = 49, KEY_NUM2 = 50, KEY_NUM3 = 51, KEY_NUM4 = 52,
                         KEY_NUM5 = 53, KEY_NUM6 = 54, KEY_NUM7 = 55, KEY_NUM8 = 56, KEY_NUM9 = 57,
                         KEY_STAR = 42, KEY_POUND = 35;

    Canvas();
    ~Canvas() override;

    virtual void paint(Graphics& g) = 0;
    void repaint();
    void repaint(int x, int y, int w, int h);
    void serviceRepaints() {}

    int getGameAction(int keyCode);
    int getKeyCode(int gameAction) { return 0; }
    std::optional<std::string> getKeyName(int keyCode) { return std::nullopt; }
    bool hasPointerEvents();
    bool hasPointerMotionEvents() { return false; }
    bool hasRepeatEvents() { return false; }
    bool isDoubleBuffered() { return false; }
    void setFullScreenMode(bool mode) {}

    virtual void keyPressed(int keyCode) {}
    virtual void keyReleased(int keyCode) {}
    virtual void keyRepeated(int keyCode) {}
    virtual void pointerPressed(int x, int y) {}
    virtual void pointerReleased(int x, int y) {}
    virtual void pointerDragged(int x, int y) {}
    virtual void showNotify() {}
    virtual void hideNotify() {}
};

}  // namespace javax::microedition::lcdui
