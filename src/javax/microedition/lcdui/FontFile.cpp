#include "javax/microedition/lcdui/FontFile.h"

#include <array>
#include <cstring>

namespace javax::microedition::lcdui {

FontMetrics::FontMetrics(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    bytes_.resize(bytes_.size() / kRecordSize * kRecordSize);
    for (std::size_t i = 0; i < bytes_.size(); i += kRecordSize) bytes_[i] = 0;
}

std::optional<GlyphRecord> FontMetrics::record(char32_t c) const {
    if (c < static_cast<char32_t>(kFirstChar)) return std::nullopt;
    const std::uint64_t k = c - kFirstChar;
    if (k >= static_cast<std::uint64_t>(recordCount())) return std::nullopt;
    const auto* r = bytes_.data() + k * kRecordSize;
    const auto s = [](std::uint8_t b) { return static_cast<int>(static_cast<std::int8_t>(b)); };
    return GlyphRecord{s(r[0]), s(r[1]), s(r[2]), s(r[3]), s(r[4]) + 128, s(r[5]) + 128};
}

int FontMetrics::height() const { return recordCount() > 0 ? static_cast<std::int8_t>(bytes_[3]) : 0; }

std::vector<char32_t> decodeText(std::string_view s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = p[i];
        const int extra = (b >= 0xC2 && b < 0xE0) ? 1 : (b >= 0xE0 && b < 0xF0) ? 2 : (b >= 0xF0 && b < 0xF5) ? 3 : 0;
        if (extra == 0 || i + extra >= n) {
            out.push_back(b);
            ++i;
            continue;
        }
        char32_t c = b & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = c << 6 | (p[i + k] & 0x3F);
        }
        if (!ok) {
            out.push_back(b);
            ++i;
            continue;
        }
        out.push_back(c);
        i += extra + 1;
    }
    return out;
}

std::uint32_t pngCrc(std::span<const std::uint8_t> bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

bool recolourPalette(std::vector<std::uint8_t>& png, std::uint32_t key, std::uint32_t replacement) {
    static constexpr std::size_t kSearchFrom = 32;
    if (png.size() < kSearchFrom + 4) return false;
    std::size_t at = kSearchFrom;
    for (; at + 4 <= png.size(); ++at)
        if (std::memcmp(png.data() + at, "PLTE", 4) == 0) break;
    if (at + 4 > png.size()) return false;
    // The low half of the length field: a palette never exceeds 768 bytes.
    const std::size_t length = std::size_t{png[at - 2]} << 8 | png[at - 1];
    const std::size_t data = at + 4;
    if (data + length + 4 > png.size()) return false;
    const std::uint8_t keyRgb[3] = {std::uint8_t(key >> 16), std::uint8_t(key >> 8), std::uint8_t(key)};
    const std::uint8_t newRgb[3] = {std::uint8_t(replacement >> 16), std::uint8_t(replacement >> 8),
                                    std::uint8_t(replacement)};
    for (std::size_t e = data; e + 3 <= data + length; e += 3) {
        bool match = true;
        for (int k = 0; k < 3; ++k) match = match && (png[e + k] & 0xF0) == keyRgb[k];
        if (match) std::memcpy(png.data() + e, newRgb, 3);
    }
    const std::uint32_t crc = pngCrc(std::span(png.data() + at, length + 4));
    for (int k = 0; k < 4; ++k) png[data + length + k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
    return true;
}

}  // namespace javax::microedition::lcdui
