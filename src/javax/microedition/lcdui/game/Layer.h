// Inert: the game layers are never drawn; every query answers 0 or false.
#pragma once

namespace javax::microedition::lcdui {
class Graphics;
class Image;
}

namespace javax::microedition::lcdui::game {

class Layer {
public:
    virtual ~Layer() = default;
    int getX() { return 0; }
    int getY() { return 0; }
    int getWidth() { return 0; }
    int getHeight() { return 0; }
    bool isVisible() { return false; }
    void setVisible(bool visible) {}
    void setPosition(int x, int y) {}
    void move(int dx, int dy) {}
    virtual void paint(Graphics& g) {}
};

}  // namespace javax::microedition::lcdui::game
