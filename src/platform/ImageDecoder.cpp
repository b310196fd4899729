#include "platform/ImageDecoder.h"

#include <climits>

#include "platform/RasterKernels.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_MAX_DIMENSIONS 16384
// stb_image has harmless undefined behaviour the sanitizer build would stop
// on (memcpy of zero bytes to a null buffer for an empty IDAT); the address
// sanitizer still watches it.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("undefined"))), apply_to = function)
#endif
#include <stb_image.h>
#if defined(__clang__)
#pragma clang attribute pop
#endif

namespace platform {

std::optional<Picture> ImageDecoder::decode(std::span<const std::uint8_t> data) {
    if (data.empty() || data.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    const auto* bytes = reinterpret_cast<const stbi_uc*>(data.data());
    const int length = static_cast<int>(data.size());
    int w = 0, h = 0, channels = 0;
    // Refuse large pictures before any pixel is allocated.
    if (!stbi_info_from_memory(bytes, length, &w, &h, &channels)) return std::nullopt;
    if (w <= 0 || h <= 0 || std::int64_t{w} * h > kMaxPixels) return std::nullopt;
    stbi_uc* rgba = stbi_load_from_memory(bytes, length, &w, &h, &channels, 4);
    if (!rgba) return std::nullopt;
    Picture picture;
    picture.width = w;
    picture.height = h;
    picture.pixels.resize(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const stbi_uc* p = rgba + 4 * i;
        picture.pixels[i] = std::uint32_t(p[3]) << 24 | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    }
    stbi_image_free(rgba);
    picture.opaque = raster::allOpaque(picture.pixels.data(), picture.pixels.size());
    return picture;
}

}  // namespace platform
