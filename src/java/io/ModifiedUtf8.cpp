#include "java/io/ModifiedUtf8.h"

#include "java/lang/Exceptions.h"

namespace java::io {

namespace {

bool isContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

[[noreturn]] void badText(std::size_t at) {
    throw java::lang::IllegalArgumentException("malformed UTF-8 text at byte " + std::to_string(at));
}

[[noreturn]] void badBytes(const char* what, std::size_t at) {
    throw UTFDataFormatException(std::string(what) + " at byte " + std::to_string(at));
}

// Calls unit(u) for every 16-bit unit of an internal string.
template <typename F>
void forEachUnit(std::string_view text, F&& unit) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t b = p[i];
        int length;
        std::uint32_t cp;
        std::uint32_t min;
        if (b < 0x80) {
            unit(static_cast<char16_t>(b));
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2, cp = b & 0x1F, min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, cp = b & 0x0F, min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, cp = b & 0x07, min = 0x10000;
        } else {
            badText(i);
        }
        if (n - i < static_cast<std::size_t>(length)) badText(i);
        for (int k = 1; k < length; ++k) {
            if (!isContinuation(p[i + k])) badText(i);
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF) badText(i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(static_cast<char16_t>(0xD800 + (cp >> 10)));
            unit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            unit(static_cast<char16_t>(cp));
        }
        i += length;
    }
}

int encodedUnitLength(char16_t u) {
    if (u != 0 && u < 0x80) return 1;
    return u < 0x800 ? 2 : 3;
}

}  // namespace

std::size_t ModifiedUtf8::encodedLength(std::string_view text) {
    std::size_t length = 0;
    forEachUnit(text, [&](char16_t u) { length += encodedUnitLength(u); });
    return length;
}

std::vector<std::uint8_t> ModifiedUtf8::encode(std::string_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size());
    forEachUnit(text, [&](char16_t u) {
        switch (encodedUnitLength(u)) {
        case 1:
            out.push_back(static_cast<std::uint8_t>(u));
            break;
        case 2:
            out.push_back(static_cast<std::uint8_t>(0xC0 | (u >> 6)));
            out.push_back(static_cast<std::uint8_t>(0x80 | (u & 0x3F)));
            break;
        default:
            out.push_back(static_cast<std::uint8_t>(0xE0 | (u >> 12)));
            out.push_back(static_cast<std::uint8_t>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<std::uint8_t>(0x80 | (u & 0x3F)));
        }
    });
    return out;
}

std::string ModifiedUtf8::decode(std::span<const std::uint8_t> bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t b = bytes[i];
        switch (b >> 4) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7:
            units.push_back(b);
            i += 1;
            break;
        case 12: case 13:
            if (n - i < 2) badBytes("2-byte sequence cut short", i);
            if (!isContinuation(bytes[i + 1])) badBytes("bad continuation byte", i + 1);
            units.push_back(static_cast<char16_t>(((b & 0x1F) << 6) | (bytes[i + 1] & 0x3F)));
            i += 2;
            break;
        case 14:
            if (n - i < 3) badBytes("3-byte sequence cut short", i);
            if (!isContinuation(bytes[i + 1])) badBytes("bad continuation byte", i + 1);
            if (!isContinuation(bytes[i + 2])) badBytes("bad continuation byte", i + 2);
            units.push_back(static_cast<char16_t>(((b & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) |
                                                  (bytes[i + 2] & 0x3F)));
            i += 3;
            break;
        default:
            badBytes("bad lead byte", i);
        }
    }
    return fromUtf16(units);
}

std::u16string ModifiedUtf8::toUtf16(std::string_view text) {
    std::u16string units;
    units.reserve(text.size());
    forEachUnit(text, [&](char16_t u) { units.push_back(u); });
    return units;
}

std::string ModifiedUtf8::fromUtf16(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    auto put = [&](std::uint32_t v) { out.push_back(static_cast<char>(v)); };
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t cp = units[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            put(cp);
        } else if (cp < 0x800) {
            put(0xC0 | (cp >> 6));
            put(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            put(0xE0 | (cp >> 12));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        } else {
            put(0xF0 | (cp >> 18));
            put(0x80 | ((cp >> 12) & 0x3F));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace java::io
