#include "game/world/FixedMath.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace game::world {

namespace {

// An integer rotation through the first quarter, mirrored for the rest.
std::array<std::int16_t, 256> makeSineTable() {
    std::array<std::int16_t, 256> t{};
    int s = 0, c = 1024;
    for (int i = 0; i < 64; i += 2) {
        t[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(s);
        c -= (s * 25) >> 10;
        s += (c * 25) >> 10;
        t[static_cast<std::size_t>(i + 1)] = static_cast<std::int16_t>(s);
        c -= (s * 25) >> 10;
        s += (c * 25) >> 10;
    }
    for (int i = 64; i < 128; ++i) t[static_cast<std::size_t>(i)] = t[static_cast<std::size_t>(127 - i)];
    for (int i = 128; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(-t[static_cast<std::size_t>(i - 128)]);
    return t;
}

// floor(sqrt(256 i)), found bit by bit.
std::array<std::int16_t, 256> makeSqrtTable() {
    std::array<std::int16_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        int r = 0;
        for (int bit = 0x100; bit > 0; bit >>= 1)
            if ((r + bit) * (r + bit) <= 256 * i) r += bit;
        t[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(r);
    }
    return t;
}

const std::array<std::int16_t, 256> kSine = makeSineTable();
const std::array<std::int16_t, 256> kSqrt = makeSqrtTable();

}  // namespace

int FixedMath::sine(int angle) { return kSine[static_cast<std::size_t>(angle & 255)]; }

int FixedMath::cosine(int angle) { return kSine[static_cast<std::size_t>((static_cast<unsigned>(angle) + 64) & 255)]; }

int FixedMath::isqrt(std::int64_t v) {
    if (v < 0) return 0;
    if (v < 0x100) return kSqrt[static_cast<std::size_t>(v)] >> 4;
    // A first guess from the table at the value's magnitude, then Newton
    // steps; the last corrections make the result exact.
    int shift = 0;
    while ((v >> shift) >= 0x100) shift += 2;
    std::int64_t x = std::int64_t{kSqrt[static_cast<std::size_t>(v >> shift)]} << (shift / 2);
    x = (x >> 4) + 1;
    for (int i = 0; i < 3; ++i) x = (x + v / x) / 2;
    while (x > v / x) --x;
    while (x + 1 <= v / (x + 1)) ++x;
    return static_cast<int>(x);
}

int FixedMath::approxDistance(int dx, int dy) {
    const std::int64_t a = std::llabs(std::int64_t{dx}), b = std::llabs(std::int64_t{dy});
    return wrap(std::max(a, b) + ((std::min(a, b) * 53) >> 7));
}

int FixedMath::gradeOf(int value, int low, int high) {
    if (value == high) return 3;
    if (value >= std::int64_t{low} + (std::int64_t{high} - low) / 2) return 2;
    return value < low ? 0 : 1;
}

int FixedMath::floorDiv(int a, int b) {
    const int q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace game::world
