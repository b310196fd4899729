// A decoded picture: ARGB pixels (alpha in bits 24..31, red 16..23, green
// 8..15, blue 0..7, not premultiplied), rows top to bottom, stride = width.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // Every pixel has alpha 255 (a promise the blitter relies on; false is
    // always safe).
    bool opaque = false;
    // Counts changes to the pixels, so copies made from them (textures)
    // know when they are stale. Writers bump it.
    std::uint64_t generation = 0;
};

}  // namespace platform
