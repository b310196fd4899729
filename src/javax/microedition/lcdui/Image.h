// Pictures: decoded, drawable and built from pixels. Pixels are ARGB ints,
// not premultiplied.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace javax::microedition::lcdui {

class Graphics;

class Image : public std::enable_shared_from_this<Image> {
public:
    static std::shared_ptr<Image> createImage(int width, int height);

    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    bool isMutable() const { return mutable_; }
    std::shared_ptr<Graphics> getGraphics();

    // The drawable buffer, null for pictures decoded from data.
    std::uint32_t* pixelBuffer() { return pixels_.empty() ? nullptr : pixels_.data(); }
    const std::uint32_t* pixelBuffer() const { return pixels_.empty() ? nullptr : pixels_.data(); }

private:
    int width_ = 0, height_ = 0;
    bool mutable_ = false;
    std::vector<std::uint32_t> pixels_;
    std::shared_ptr<Graphics> context_;
};

}  // namespace javax::microedition::lcdui
