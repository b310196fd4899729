// Makes and refreshes images' textures: the size rules and the pixel
// layout GL takes (bytes R, G, B, A from each ARGB int, whatever the
// machine's byte order), uploaded on the drawing thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "TarvokinEmu/gl/Texture.h"
#include "platform/RasterSurface.h"

namespace javax::microedition::lcdui {
class Image;
}

namespace TarvokinEmu::gl {

class TextureLoader {
public:
    // The smallest power of two that is at least size and at least 2.
    static int textureSize(int size);
    // The texture bytes of src: textureWidth x textureHeight pixels, R, G,
    // B, A each, rows from the top, src at the top-left and transparent
    // black around it.
    static std::vector<std::uint8_t> layout(const platform::PixelSource& src, int textureWidth, int textureHeight);

    // The image's texture, made or uploaded again when its pixels changed
    // since; null when OpenGL is not running or the image is empty.
    static Texture* textureOf(const javax::microedition::lcdui::Image& image);
    // A texture holding src (a passing picture: drawRGB, fallback text).
    static std::unique_ptr<Texture> make(const platform::PixelSource& src);

private:
    static void upload(Texture& t, const platform::PixelSource& src);
};

}  // namespace TarvokinEmu::gl
