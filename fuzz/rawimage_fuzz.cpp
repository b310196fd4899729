// Raw image entries turned into PNG files: any entry, palette, format,
// flip and scale either builds a PNG the runtime decoder reads back at the
// promised size or is refused with an exception.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "TarvokinEmu/PNGReader.h"
#include "game/SpriteSheet.h"
#include "java/lang/Throwable.h"

using game::SpriteSheet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    // First bytes choose the build; the rest is the entry.
    const int formats[] = {SpriteSheet::FORMAT_INDEXED, SpriteSheet::PALETTE_RGB, SpriteSheet::PALETTE_RGBA};
    const int format = formats[data[0] % 3];
    const int flip = data[1] & 3;
    const int scale = 1 + (data[1] >> 2) % 8;
    const int colours = 1 + data[2];
    std::vector<std::int32_t> palette(static_cast<std::size_t>(colours));
    for (int i = 0; i < colours; ++i) palette[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(0x01020300u * static_cast<std::uint32_t>(i) | 0xFF);
    const std::span<const std::uint8_t> entry(data + 3, size - 3);
    try {
        const int w = SpriteSheet::rawWidth(entry), h = SpriteSheet::rawHeight(entry);
        if (static_cast<long>(w) * h * scale * scale > 1 << 16) return 0;  // keep runs fast
        const int header = format == SpriteSheet::FORMAT_INDEXED ? SpriteSheet::INDEXED_HEADER : SpriteSheet::DIRECT_HEADER;
        const auto png = SpriteSheet::buildPng(palette, entry, w, h, format, header, flip, scale);
        try {
            const auto pic = TarvokinEmu::PNGReader::decode(png);
            if (pic.width != w * scale || pic.height != h * scale) __builtin_trap();
        } catch (const java::lang::Throwable&) {
            // Indices beyond the palette are the data's fault; the decoder
            // may refuse them. Direct colour always decodes.
            if (format != SpriteSheet::FORMAT_INDEXED) __builtin_trap();
        }
    } catch (const java::lang::Throwable&) {
    }
    return 0;
}
