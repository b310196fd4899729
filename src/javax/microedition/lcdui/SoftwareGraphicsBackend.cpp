#include "javax/microedition/lcdui/SoftwareGraphicsBackend.h"

#include <algorithm>
#include <string>
#include <vector>

#include "TarvokinEmu/Trace.h"
#include "javax/microedition/lcdui/FallbackFont.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace javax::microedition::lcdui {

using platform::Flip;
using platform::PixelSource;

void SoftwareGraphicsBackend::drawImage(const Image& image, int x, int y) {
    touch();
    surface_.drawImage(image.pixelSource(), x, y);
}

void SoftwareGraphicsBackend::drawRegion(const Image& image, int xSrc, int ySrc, int width, int height,
                                         int transform, int x, int y) {
    touch();
    const PixelSource src = image.pixelSource();
    switch (transform) {
    case Graphics::TRANS_NONE: return surface_.drawRegion(src, xSrc, ySrc, width, height, Flip::None, x, y);
    case Graphics::TRANS_MIRROR:
        return surface_.drawRegion(src, xSrc, ySrc, width, height, Flip::Horizontal, x, y);
    case Graphics::TRANS_MIRROR_ROT180:
        return surface_.drawRegion(src, xSrc, ySrc, width, height, Flip::Vertical, x, y);
    case Graphics::TRANS_ROT180: return surface_.drawRegion(src, xSrc, ySrc, width, height, Flip::Both, x, y);
    case Graphics::TRANS_ROT270: {
        // Region pixel (c, r) goes to (r, width - 1 - c) of a height-wide,
        // width-high result; clear pixels are skipped, the rest drawn opaque.
        // Only the part of the region inside the source is built.
        const std::int64_t c0 = std::max<std::int64_t>(0, -std::int64_t{xSrc});
        const std::int64_t c1 = std::min<std::int64_t>(width, std::int64_t{src.width} - xSrc);
        const std::int64_t r0 = std::max<std::int64_t>(0, -std::int64_t{ySrc});
        const std::int64_t r1 = std::min<std::int64_t>(height, std::int64_t{src.height} - ySrc);
        if (c0 >= c1 || r0 >= r1 || !src.pixels) return;
        const int outW = static_cast<int>(r1 - r0), outH = static_cast<int>(c1 - c0);
        std::vector<std::uint32_t> out(static_cast<std::size_t>(outW) * outH);
        for (std::int64_t r = r0; r < r1; ++r) {
            const std::uint32_t* row = src.pixels + static_cast<std::size_t>(ySrc + r) * src.stride + xSrc;
            for (std::int64_t c = c0; c < c1; ++c) {
                const std::uint32_t p = row[c];
                out[static_cast<std::size_t>(c1 - 1 - c) * outW + static_cast<std::size_t>(r - r0)] =
                    (p >> 24) == 0 ? 0u : p | 0xFF000000u;
            }
        }
        const PixelSource rotated{out.data(), outW, outH, outW, false};
        surface_.drawImage(rotated, static_cast<int>(x + r0), static_cast<int>(y + (width - c1)));
        return;
    }
    default:
        // Not emulated: drawn unrotated inside a red frame, and the surface
        // keeps red as its colour.
        surface_.drawRegion(src, xSrc, ySrc, width, height, Flip::None, x, y);
        surface_.setColor(0xFF0000);
        if (width > 0 && height > 0) surface_.drawRect(x, y, width - 1, height - 1);
        TarvokinEmu::trace("Graphics.drawRegion(transformation not emulated: " + std::to_string(transform) +
                                     ")");
        return;
    }
}

void SoftwareGraphicsBackend::drawRGB(std::span<const std::int32_t> rgb, int offset, int scanlength, int x, int y,
                                      int width, int height, bool processAlpha) {
    TarvokinEmu::trace("Image.createRGBImage(" + std::to_string(width) + "x" + std::to_string(height) + ")");
    touch();
    if (width <= 0 || height <= 0) return;
    // Row by row straight from rgb: rows may overlap (a scan length below
    // the width), so the block is never built whole.
    const platform::Rect clip = surface_.deviceClip();
    const std::int64_t top = std::int64_t{y} + surface_.translateY();
    const std::int64_t r0 = std::max<std::int64_t>(0, clip.y - top);
    const std::int64_t r1 = std::min<std::int64_t>(height, std::int64_t{clip.y} + clip.height - top);
    std::vector<std::uint32_t> opaqueRow;
    if (!processAlpha && r0 < r1) opaqueRow.resize(static_cast<std::size_t>(width));
    for (std::int64_t r = r0; r < r1; ++r) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.data() + offset + r * scanlength);
        PixelSource src{row, width, 1, width, false};
        if (!processAlpha) {
            for (int i = 0; i < width; ++i) opaqueRow[i] = row[i] | 0xFF000000u;
            src = {opaqueRow.data(), width, 1, width, true};
        }
        surface_.drawImage(src, x, static_cast<int>(y + r));
    }
}

void SoftwareGraphicsBackend::drawFallbackString(std::string_view s, int x, int baselineY) {
    touch();
    fallback::drawString(surface_, s, x, baselineY);
}

}  // namespace javax::microedition::lcdui
