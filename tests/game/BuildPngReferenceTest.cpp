// The packed-image PNG writer against a second writer made only from the
// file layout (zlib's own checksums, no code shared with the game), and the
// result read back by a desktop decoder (stb_image behind the platform).
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "game/SpriteSheet.h"
#include "platform/ImageDecoder.h"

namespace {

using game::SpriteSheet;

class Writer {
public:
    void u32(std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
    }
    void chunk(const std::string& type, const std::vector<std::uint8_t>& data) {
        u32(static_cast<std::uint32_t>(data.size()));
        std::vector<std::uint8_t> typed(type.begin(), type.end());
        typed.insert(typed.end(), data.begin(), data.end());
        out.insert(out.end(), typed.begin(), typed.end());
        u32(static_cast<std::uint32_t>(::crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
    }
    std::vector<std::uint8_t> out;
};

// format -1: one palette index a pixel; 254: RGB; 255: RGBA.
std::vector<std::uint8_t> referencePng(const std::vector<std::uint32_t>& palette, const std::vector<std::uint8_t>& pixels,
                                       int w, int h, int format, int flip, int scale) {
    const bool indexed = format == -1;
    const int sbpp = indexed ? 1 : format == 254 ? 3 : 4;
    const int outW = w * scale, outH = h * scale;
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < outH; ++y) {
        raw.push_back(0);
        const int sy = (flip & 2) ? h - 1 - y / scale : y / scale;
        for (int x = 0; x < outW; ++x) {
            const int sx = (flip & 1) ? w - 1 - x / scale : x / scale;
            const std::uint8_t* p = pixels.data() + (static_cast<std::size_t>(sy) * w + sx) * sbpp;
            if (indexed) {
                raw.push_back(p[0]);
            } else {
                raw.insert(raw.end(), p, p + 3);
                raw.push_back(format == 255 ? p[3] : 0xFF);
            }
        }
    }
    const std::size_t rowBytes = 1 + (indexed ? 1 : 4) * static_cast<std::size_t>(outW);
    const std::size_t blockMax = 65531 - 65531 % rowBytes;
    std::vector<std::uint8_t> z{0x78, 0x01};
    for (std::size_t at = 0; at < raw.size(); at += blockMax) {
        const std::size_t len = std::min(blockMax, raw.size() - at);
        z.push_back(at + len == raw.size() ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(len));
        z.push_back(static_cast<std::uint8_t>(len >> 8));
        z.push_back(static_cast<std::uint8_t>(~len));
        z.push_back(static_cast<std::uint8_t>(~len >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + len));
    }
    const auto adler = static_cast<std::uint32_t>(::adler32(::adler32(0, nullptr, 0), raw.data(), static_cast<uInt>(raw.size())));
    for (int s = 24; s >= 0; s -= 8) z.push_back(static_cast<std::uint8_t>(adler >> s));

    Writer png;
    png.out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Writer ihdr;
    ihdr.u32(static_cast<std::uint32_t>(outW));
    ihdr.u32(static_cast<std::uint32_t>(outH));
    ihdr.out.insert(ihdr.out.end(), {8, static_cast<std::uint8_t>(indexed ? 3 : 6), 0, 0, 0});
    png.chunk("IHDR", ihdr.out);
    if (indexed) {
        std::vector<std::uint8_t> plte;
        for (std::uint32_t c : palette) plte.insert(plte.end(), {std::uint8_t(c >> 24), std::uint8_t(c >> 16), std::uint8_t(c >> 8)});
        png.chunk("PLTE", plte);
        png.chunk("tRNS", {0});
    }
    png.chunk("IDAT", z);
    png.chunk("IEND", {});
    return png.out;
}

TEST(BuildPngReference, ByteIdenticalToAnIndependentWriterAndReadableByADesktopDecoder) {
    const std::vector<std::uint32_t> palette = {0x000000FF, 0xF28C28FF, 0x2E86C1FF, 0x10202CFF, 0xFFFFFFFF};
    const std::vector<std::int32_t> gamePalette(palette.begin(), palette.end());
    struct Case {
        int w, h, format, flip, scale;
    };
    const Case cases[] = {
        {1, 1, -1, 0, 1},   {2, 1, -1, 1, 2},  {2, 1, -1, 0, 2},  {5, 3, -1, 2, 1},  {5, 3, -1, 3, 3},
        {100, 648, -1, 0, 1}, {100, 649, -1, 0, 1}, {100, 649, -1, 1, 1}, {3, 2, 254, 1, 2}, {3, 2, 255, 2, 1},
        {7, 5, 255, 0, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " format " << c.format << " flip " << c.flip
                                        << " scale " << c.scale);
        const int sbpp = c.format == -1 ? 1 : c.format == 254 ? 3 : 4;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(c.w) * c.h * sbpp);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<std::uint8_t>(c.format == -1 ? (i * 7 + i / 3) % palette.size() : i * 37 + 11);
        std::vector<std::uint8_t> entry;
        int header = 0;
        if (c.format == -1) {
            entry = SpriteSheet::makeIndexedEntry(pixels, c.w, c.h);
            header = SpriteSheet::INDEXED_HEADER;
        } else {
            entry = SpriteSheet::makeDirectEntry(pixels, c.w, c.h);
            header = SpriteSheet::DIRECT_HEADER;
        }
        const auto png = SpriteSheet::buildPng(gamePalette, entry, c.w, c.h, c.format, header, c.flip, c.scale);
        ASSERT_EQ(png, referencePng(palette, pixels, c.w, c.h, c.format, c.flip, c.scale));

        auto picture = platform::ImageDecoder::decode(png);
        ASSERT_TRUE(picture.has_value());
        ASSERT_EQ(picture->width, c.w * c.scale);
        ASSERT_EQ(picture->height, c.h * c.scale);
        for (int y = 0; y < picture->height; ++y)
            for (int x = 0; x < picture->width; ++x) {
                const int sx = (c.flip & 1) ? c.w - 1 - x / c.scale : x / c.scale;
                const int sy = (c.flip & 2) ? c.h - 1 - y / c.scale : y / c.scale;
                const std::uint8_t* p = pixels.data() + (static_cast<std::size_t>(sy) * c.w + sx) * sbpp;
                std::uint32_t want;
                if (c.format == -1)
                    want = p[0] == 0 ? 0u : 0xFF000000u | (palette[p[0]] >> 8);
                else
                    want = (std::uint32_t{c.format == 255 ? p[3] : 0xFFu} << 24) | (std::uint32_t{p[0]} << 16) |
                           (std::uint32_t{p[1]} << 8) | p[2];
                std::uint32_t got = picture->pixels[static_cast<std::size_t>(y) * picture->width + x];
                if ((want >> 24) == 0) got &= 0xFF000000u;  // a clear pixel's colour is free
                ASSERT_EQ(got, want) << x << "," << y;
            }
    }
}

}  // namespace
