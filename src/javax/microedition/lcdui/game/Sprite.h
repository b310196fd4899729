// Inert: see Layer.
#pragma once

#include <memory>

#include "javax/microedition/lcdui/game/Layer.h"

namespace javax::microedition::lcdui::game {

class TiledLayer;

class Sprite : public Layer {
public:
    static constexpr int TRANS_NONE = 0, TRANS_ROT90 = 5, TRANS_ROT180 = 3, TRANS_ROT270 = 6, TRANS_MIRROR = 2,
                         TRANS_MIRROR_ROT90 = 7, TRANS_MIRROR_ROT180 = 1, TRANS_MIRROR_ROT270 = 4;
    int getFrame() { return 0; }
    int getFrameSequenceLength() { return 0; }
    int getRawFrameCount() { return 0; }
    void setFrame(int index) {}
    void nextFrame() {}
    void prevFrame() {}
    void setTransform(int transform) {}
    void defineReferencePixel(int x, int y) {}
    void defineCollisionRectangle(int x, int y, int w, int h) {}
    bool collidesWith(Sprite* s, bool pixelLevel) { return false; }
    bool collidesWith(TiledLayer* t, bool pixelLevel) { return false; }
};

}  // namespace javax::microedition::lcdui::game
