// A small canvas around a RasterSurface for pixel tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/RasterSurface.h"

namespace raster_test {

struct Canvas {
    Canvas(int w, int h, std::uint32_t background = 0) : picture(std::make_shared<platform::Picture>()) {
        picture->width = w;
        picture->height = h;
        picture->pixels.assign(static_cast<std::size_t>(w) * h, background);
        surface = platform::RasterSurface(picture);
    }
    std::uint32_t at(int x, int y) const { return picture->pixels[static_cast<std::size_t>(y) * picture->width + x]; }
    bool set(int x, int y, std::uint32_t background = 0) const { return at(x, y) != background; }
    int width() const { return picture->width; }
    int height() const { return picture->height; }
    int count(std::uint32_t background = 0) const {
        int n = 0;
        for (std::uint32_t p : picture->pixels) n += p != background;
        return n;
    }
    // Rows of '#' (drawn) and '.' for failure messages.
    std::string map(std::uint32_t background = 0) const {
        std::string s;
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) s += set(x, y, background) ? '#' : '.';
            s += '\n';
        }
        return s;
    }

    std::shared_ptr<platform::Picture> picture;
    platform::RasterSurface surface;
};

}  // namespace raster_test
