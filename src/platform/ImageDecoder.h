// The general picture decoder (PNG of every kind, GIF, JPEG, BMP), used when
// the runtime's own PNG decoder rejects data.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/Picture.h"

namespace platform {

class ImageDecoder {
public:
    // Pictures with more pixels than this are refused.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 24;

    // The first frame as ARGB, or nothing when the data is not a picture
    // this decoder knows.
    static std::optional<Picture> decode(std::span<const std::uint8_t> data);
};

}  // namespace platform
