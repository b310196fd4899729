// Text in the handset's serialized form. Internally strings are UTF-8 with
// one extension: a lone surrogate unit (U+D800..U+DFFF with no partner) is
// kept as its 3-byte form, so every sequence of 16-bit units maps to exactly
// one internal string and back. Modified UTF-8 is the serialized form: each
// 16-bit unit on its own, U+0000 as C0 80, U+0001..U+007F as one byte,
// U+0080..U+07FF as two, the rest (surrogates included) as three.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace java::io {

class ModifiedUtf8 {
public:
    ModifiedUtf8() = delete;

    // Throws java::lang::IllegalArgumentException for text that is not
    // UTF-8 in the internal sense (bad or overlong sequences, values above
    // U+10FFFF).
    static std::vector<std::uint8_t> encode(std::string_view text);
    static std::size_t encodedLength(std::string_view text);

    // Accepts what the handset's own reader accepts: besides the canonical
    // forms, a raw 00 byte and overlong 2- and 3-byte forms. Throws
    // UTFDataFormatException naming the offset of a bad lead byte, a bad
    // continuation byte or a sequence cut short.
    static std::string decode(std::span<const std::uint8_t> bytes);

    // Between internal strings and 16-bit units; a high surrogate followed
    // by a low one becomes one supplementary character.
    static std::u16string toUtf16(std::string_view text);
    static std::string fromUtf16(std::u16string_view units);
};

}  // namespace java::io
