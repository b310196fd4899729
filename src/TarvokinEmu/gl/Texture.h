// The OpenGL texture of one image: the image padded to power-of-two sides,
// and the pixel generation it was last uploaded from. Deleting it hands its
// name back to GLMaster, which frees it on the drawing thread.
#pragma once

#include <cstdint>

namespace TarvokinEmu::gl {

struct Texture {
    unsigned id = 0;
    int width = 0, height = 0;
    int textureWidth = 0, textureHeight = 0;
    float widthRatio = 0, heightRatio = 0;
    // The image's pixel generation the texture holds.
    std::uint64_t generation = 0;
    // The context the name belongs to; a texture of an earlier context is
    // made again.
    std::uint64_t context = 0;

    Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    ~Texture();
};

}  // namespace TarvokinEmu::gl
