#include "javax/microedition/lcdui/Image.h"

#include "javax/microedition/lcdui/Graphics.h"

namespace javax::microedition::lcdui {

std::shared_ptr<Image> Image::createImage(int width, int height) {
    auto img = std::make_shared<Image>();
    img->width_ = width;
    img->height_ = height;
    img->mutable_ = true;
    img->pixels_.assign(static_cast<std::size_t>(width) * height, 0xFFFFFFFFu);
    img->context_ = std::make_shared<Graphics>(img->pixels_.data(), width, height);
    img->context_->setColor(0xFFFFFF);
    return img;
}

std::shared_ptr<Graphics> Image::getGraphics() { return context_; }

}  // namespace javax::microedition::lcdui
