// Factory operations of the vendor user-interface extension.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace javax::microedition::lcdui {
class Graphics;
class Image;
}  // namespace javax::microedition::lcdui

namespace com::nokia::mid::ui {

class DirectGraphics;

class DirectUtils {
public:
    // A mutable image cleared with argb's RGB, as Image::createImage.
    static std::shared_ptr<javax::microedition::lcdui::Image> createImage(int width, int height, int argb);
    // Not supported: always null.
    static std::shared_ptr<javax::microedition::lcdui::Image> createImage(const std::vector<std::int8_t>& data,
                                                                          int offset, int length);
    // A new DirectGraphicsImpl at every call.
    static std::shared_ptr<DirectGraphics> getDirectGraphics(std::shared_ptr<javax::microedition::lcdui::Graphics> g);
};

}  // namespace com::nokia::mid::ui
