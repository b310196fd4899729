// Writes ARGB pixels as an 8-bit RGBA PNG (for the tools and tests; the
// game's own PNG builder is elsewhere).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// pixels: width x height ARGB, rows top to bottom. Empty on failure.
std::vector<std::uint8_t> encodePng(std::span<const std::uint32_t> pixels, int width, int height);

}  // namespace platform
