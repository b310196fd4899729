#include "javax/microedition/lcdui/Graphics.h"

#include <algorithm>

namespace javax::microedition::lcdui {

Graphics::Graphics(std::uint32_t* pixels, int width, int height)
    : pixels_(pixels), width_(width), height_(height), clipW_(width), clipH_(height) {}

void Graphics::setClip(int x, int y, int w, int h) {
    clipX_ = x;
    clipY_ = y;
    clipW_ = w;
    clipH_ = h;
}

void Graphics::setColor(int rgb) { color_ = 0xFF000000u | (static_cast<std::uint32_t>(rgb) & 0xFFFFFFu); }

void Graphics::fillRect(int x, int y, int w, int h) {
    int x0 = std::max({x, clipX_, 0}), y0 = std::max({y, clipY_, 0});
    int x1 = std::min({x + w, clipX_ + clipW_, width_}), y1 = std::min({y + h, clipY_ + clipH_, height_});
    for (int yy = y0; yy < y1; ++yy)
        for (int xx = x0; xx < x1; ++xx) pixels_[static_cast<std::size_t>(yy) * width_ + xx] = color_;
}

}  // namespace javax::microedition::lcdui
