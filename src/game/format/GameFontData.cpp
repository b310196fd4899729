#include "game/format/GameFontData.h"

#include <string>

#include "java/io/DataReader.h"
#include "java/io/DataWriter.h"
#include "java/lang/Exceptions.h"

namespace game::format {

using java::lang::IllegalArgumentException;

std::vector<std::uint8_t> GameFontData::encode(const GameFont& font) {
    const int n = static_cast<int>(font.glyphs.size());
    if (n > 32767) throw IllegalArgumentException("font with " + std::to_string(n) + " glyphs");
    auto s8 = [](int v) { return v >= -128 && v <= 127; };
    if (!s8(font.spacing) || !s8(font.ascent) || !s8(font.descent)) throw IllegalArgumentException("font metrics outside a signed byte");
    java::io::DataWriter out;
    out.writeShort(n);
    out.writeByte(font.spacing);
    out.writeByte(font.ascent);
    out.writeByte(font.descent);
    int i = n - 1;
    while (i >= 0) {
        // Extend the run while the codes go on consecutively (file order
        // runs from the highest index down).
        int k = 1;
        while (k < 255 && i - k >= 0 && font.glyphs[static_cast<std::size_t>(i - k)].code == ((font.glyphs[static_cast<std::size_t>(i)].code + k) & 0xFFFF)) ++k;
        out.writeByte(k);
        out.writeShort(font.glyphs[static_cast<std::size_t>(i)].code);
        for (int j = 0; j < k; ++j) {
            const GameGlyph& g = font.glyphs[static_cast<std::size_t>(i - j)];
            if (g.srcX < 0 || g.srcX > 255 || g.srcY < -32768 || g.srcY > 32767 || !s8(g.advance) || !s8(g.height) || !s8(g.top)) {
                throw IllegalArgumentException("glyph of character " + std::to_string(g.code) + " outside the format's ranges");
            }
            out.writeByte(g.srcX);
            out.writeShort(g.srcY);
            out.writeByte(g.advance);
            out.writeByte(g.height);
            out.writeByte(g.top);
        }
        i -= k;
    }
    return out.take();
}

GameFont GameFontData::decode(std::span<const std::uint8_t> entry) {
    java::io::DataReader in(entry);
    GameFont f;
    const int n = in.readShort();
    if (n < 0) throw IllegalArgumentException("font with " + std::to_string(n) + " glyphs");
    f.spacing = in.readByte();
    f.ascent = in.readByte();
    f.descent = in.readByte();
    // Each record takes 6 bytes: check before allocating.
    if (static_cast<std::size_t>(n) > in.remaining() / 6) {
        throw java::io::EOFException("font of " + std::to_string(n) + " glyphs has " + std::to_string(in.remaining()) + " bytes of runs");
    }
    f.glyphs.resize(static_cast<std::size_t>(n));
    int remaining = n;
    while (remaining > 0) {
        const int k = in.readUnsignedByte();
        int code = in.readUnsignedShort();
        for (int j = 0; j < k; ++j) {
            // A run longer than the glyphs left would write below index 0.
            if (remaining == 0) throw IllegalArgumentException("font runs hold more than " + std::to_string(n) + " glyphs");
            GameGlyph& g = f.glyphs[static_cast<std::size_t>(--remaining)];
            g.code = code;
            g.srcX = in.readUnsignedByte();
            g.srcY = in.readShort();
            g.advance = in.readByte();
            g.height = in.readByte();
            g.top = in.readByte();
            code = (code + 1) & 0xFFFF;
        }
    }
    return f;
}

}  // namespace game::format
