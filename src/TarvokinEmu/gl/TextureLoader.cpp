#include "TarvokinEmu/gl/TextureLoader.h"

#include "TarvokinEmu/gl/GLMaster.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/GlRenderer.h"

namespace TarvokinEmu::gl {

int TextureLoader::textureSize(int size) {
    int s = 2;
    while (s < size && s < (1 << 30)) s <<= 1;
    return s;
}

std::vector<std::uint8_t> TextureLoader::layout(const platform::PixelSource& src, int textureWidth,
                                                int textureHeight) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(textureWidth) * textureHeight * 4, 0);
    const int w = std::min(src.width, textureWidth), h = std::min(src.height, textureHeight);
    for (int y = 0; y < h && src.pixels; ++y) {
        const std::uint32_t* in = src.pixels + static_cast<std::size_t>(y) * src.stride;
        std::uint8_t* out = bytes.data() + static_cast<std::size_t>(y) * textureWidth * 4;
        for (int x = 0; x < w; ++x, out += 4) {
            const std::uint32_t p = in[x];
            out[0] = static_cast<std::uint8_t>(p >> 16);
            out[1] = static_cast<std::uint8_t>(p >> 8);
            out[2] = static_cast<std::uint8_t>(p);
            out[3] = static_cast<std::uint8_t>(p >> 24);
        }
    }
    return bytes;
}

void TextureLoader::upload(Texture& t, const platform::PixelSource& src) {
    if (t.id == 0 || t.context != GLMaster::contextSerial()) {
        t.id = platform::GlRenderer::createTexture();
        t.context = GLMaster::contextSerial();
    }
    t.width = src.width;
    t.height = src.height;
    t.textureWidth = textureSize(src.width);
    t.textureHeight = textureSize(src.height);
    t.widthRatio = static_cast<float>(t.width) / static_cast<float>(t.textureWidth);
    t.heightRatio = static_cast<float>(t.height) / static_cast<float>(t.textureHeight);
    const auto bytes = layout(src, t.textureWidth, t.textureHeight);
    platform::GlRenderer::uploadTexture(t.id, t.textureWidth, t.textureHeight, bytes.data());
}

Texture* TextureLoader::textureOf(const javax::microedition::lcdui::Image& image) {
    if (!GLMaster::initialised()) return nullptr;
    const platform::PixelSource src = image.pixelSource();
    if (!src.pixels || src.width <= 0 || src.height <= 0) return nullptr;
    auto& slot = image.texture();
    if (!slot) slot = std::make_shared<Texture>();
    Texture& t = *slot;
    // A changed picture, a texture never filled, or one of a context that
    // is gone: (re)upload.
    if (t.id == 0 || t.generation != image.generation() || t.context != GLMaster::contextSerial() ||
        t.width != src.width || t.height != src.height) {
        upload(t, src);
        t.generation = image.generation();
    }
    return &t;
}

std::unique_ptr<Texture> TextureLoader::make(const platform::PixelSource& src) {
    if (!GLMaster::initialised() || !src.pixels || src.width <= 0 || src.height <= 0) return nullptr;
    auto t = std::make_unique<Texture>();
    upload(*t, src);
    return t;
}

Texture::~Texture() {
    if (id != 0) GLMaster::discardTexture(id, context);
}

}  // namespace TarvokinEmu::gl
