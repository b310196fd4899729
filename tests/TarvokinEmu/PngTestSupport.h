// Builds PNG files chunk by chunk for decoder tests, with a filter encoder
// so that every filter type can be exercised.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Inflate.h"

namespace png_test {

using Bytes = std::vector<std::uint8_t>;

inline void put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

class PngBuilder {
public:
    PngBuilder() : bytes_{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A} {}

    PngBuilder& chunk(const std::string& type, const Bytes& data, bool goodCrc = true) {
        put32(bytes_, static_cast<std::uint32_t>(data.size()));
        const std::size_t start = bytes_.size();
        bytes_.insert(bytes_.end(), type.begin(), type.end());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        const std::uint32_t crc = platform::crc32(0, {bytes_.data() + start, bytes_.size() - start});
        put32(bytes_, goodCrc ? crc : ~crc);
        return *this;
    }
    PngBuilder& ihdr(std::int32_t w, std::int32_t h, int depth, int type, int compression = 0, int filter = 0,
                     int interlace = 0) {
        Bytes d;
        put32(d, static_cast<std::uint32_t>(w));
        put32(d, static_cast<std::uint32_t>(h));
        d.insert(d.end(), {static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(type),
                           static_cast<std::uint8_t>(compression), static_cast<std::uint8_t>(filter),
                           static_cast<std::uint8_t>(interlace)});
        return chunk("IHDR", d);
    }
    PngBuilder& idat(const Bytes& zlibData) { return chunk("IDAT", zlibData); }
    PngBuilder& iend() { return chunk("IEND", {}); }
    PngBuilder& raw(const Bytes& b) {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

inline Bytes zlib(const Bytes& raw) { return platform::deflateZlib(raw); }

inline int paethReference(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    if (pb <= pc) return b;
    return c;
}

// Filters unfiltered rows (each rowBytes long) with the given filter per
// row; returns the image data with its filter bytes, before deflate.
inline Bytes filterRows(const Bytes& rows, std::size_t rowBytes, int bpp, const std::vector<int>& filters) {
    Bytes out;
    const std::size_t height = rows.size() / rowBytes;
    for (std::size_t y = 0; y < height; ++y) {
        const int f = filters[y % filters.size()];
        out.push_back(static_cast<std::uint8_t>(f));
        for (std::size_t x = 0; x < rowBytes; ++x) {
            const int cur = rows[y * rowBytes + x];
            const int a = x >= static_cast<std::size_t>(bpp) ? rows[y * rowBytes + x - bpp] : 0;
            const int b = y > 0 ? rows[(y - 1) * rowBytes + x] : 0;
            const int c = (y > 0 && x >= static_cast<std::size_t>(bpp)) ? rows[(y - 1) * rowBytes + x - bpp] : 0;
            int pred = 0;
            switch (f) {
            case 1: pred = a; break;
            case 2: pred = b; break;
            case 3: pred = (a + b) / 2; break;
            case 4: pred = paethReference(a, b, c); break;
            default: break;
            }
            out.push_back(static_cast<std::uint8_t>(cur - pred));
        }
    }
    return out;
}

}  // namespace png_test
