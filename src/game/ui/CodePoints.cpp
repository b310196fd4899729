#include "game/ui/CodePoints.h"

namespace game {

std::vector<CodePoints::Char> CodePoints::of(std::string_view text) {
    std::vector<Char> out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = p[i];
        const std::size_t extra = (b >= 0xC2 && b < 0xE0) ? 1 : (b >= 0xE0 && b < 0xF0) ? 2 : (b >= 0xF0 && b < 0xF5) ? 3 : 0;
        char32_t c = b;
        std::size_t length = 1;
        if (extra != 0 && i + extra < n) {
            char32_t v = b & (0x3F >> extra);
            bool ok = true;
            for (std::size_t k = 1; k <= extra && ok; ++k) {
                ok = (p[i + k] & 0xC0) == 0x80;
                v = v << 6 | (p[i + k] & 0x3F);
            }
            if (ok) {
                c = v;
                length = extra + 1;
            }
        }
        out.push_back({c, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + length)});
        i += length;
    }
    return out;
}

}  // namespace game
