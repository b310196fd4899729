#include "com/qorvi/tkemu/graphics/ImageConverter.h"

#include <cstdint>
#include <vector>

#include "javax/microedition/lcdui/Image.h"

namespace com::qorvi::tkemu::graphics {

std::shared_ptr<platform::Picture> ImageConverter::convert(const javax::microedition::lcdui::Image* image) {
    if (!image) return nullptr;
    auto picture = std::make_shared<platform::Picture>();
    picture->width = image->getWidth();
    picture->height = image->getHeight();
    picture->pixels.resize(static_cast<std::size_t>(picture->width) * picture->height);
    std::vector<std::int32_t> row(static_cast<std::size_t>(picture->width));
    for (int y = 0; y < picture->height; ++y) {
        image->getRGB(row, 0, picture->width, 0, y, picture->width, 1);
        for (int x = 0; x < picture->width; ++x)
            picture->pixels[static_cast<std::size_t>(y) * picture->width + x] = static_cast<std::uint32_t>(row[x]);
    }
    return picture;
}

}  // namespace com::qorvi::tkemu::graphics
