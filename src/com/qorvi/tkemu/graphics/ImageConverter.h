// Turns a phone image into a platform ARGB picture.
#pragma once

#include <memory>

#include "platform/Picture.h"

namespace javax::microedition::lcdui {
class Image;
}

namespace com::qorvi::tkemu::graphics {

class ImageConverter {
public:
    // A new picture of the image's size holding its pixels, row by row.
    // Null image gives null.
    static std::shared_ptr<platform::Picture> convert(const javax::microedition::lcdui::Image* image);
};

}  // namespace com::qorvi::tkemu::graphics
