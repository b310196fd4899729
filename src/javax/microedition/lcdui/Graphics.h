// The drawing context of a picture.
#pragma once

#include <cstdint>

namespace javax::microedition::lcdui {

class Graphics {
public:
    Graphics(std::uint32_t* pixels, int width, int height);

    void setClip(int x, int y, int w, int h);
    void setColor(int rgb);
    int getColor() const { return color_ & 0xFFFFFF; }
    void fillRect(int x, int y, int w, int h);

private:
    std::uint32_t* pixels_;
    int width_, height_;
    int clipX_ = 0, clipY_ = 0, clipW_ = 0, clipH_ = 0;
    std::uint32_t color_ = 0xFF000000u;
};

}  // namespace javax::microedition::lcdui
