// The runtime's PNG decoder: 8-bit images of every colour type and 4-bit
// palette images, not interlaced, the image data in one IDAT chunk. Anything
// else is rejected with a java::io::IOException naming the first unsupported
// property; input ending early raises java::io::EOFException. CRCs and the
// zlib checksum are not verified.
//
// Output: platform::Picture, ARGB (alpha 24..31, red 16..23, green 8..15,
// blue 0..7), not premultiplied, rows top to bottom.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "TarvokinEmu/ByteArray.h"
#include "platform/Picture.h"

namespace TarvokinEmu {

class PNGReader {
public:
    // Largest accepted picture: no side above kMaxSide and no more than
    // kMaxPixels pixels (64 MiB of ARGB).
    static constexpr int kMaxSide = 16384;
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 24;

    // Decodes in from its current position (callers reset it first).
    platform::Picture read(ByteArray& in);

    // Wraps bytes in a ByteArray and decodes them.
    static platform::Picture decode(std::span<const std::uint8_t> bytes);

    // The PNG predictor: a (left), b (up), c (upper left); ties go to a,
    // then b. Exposed for tests.
    static std::uint8_t paeth(std::uint8_t a, std::uint8_t b, std::uint8_t c);

private:
    void readHeader(ByteArray& in);
    void readPalette(ByteArray& in, int length);
    void readTransparency(ByteArray& in, int length);
    void readImageData(std::span<const std::uint8_t> data);

    int bitDepth_ = 0;
    int colorType_ = 0;
    std::optional<std::vector<std::uint32_t>> palette_;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    bool opaque_ = false;
    bool haveHeader_ = false;
    bool haveImageData_ = false;
};

}  // namespace TarvokinEmu
