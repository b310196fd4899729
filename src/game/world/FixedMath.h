// The world's integer maths: a 256-step sine table (values -1022..1022,
// products normalised with >> 10), an exact integer square root, an
// octagonal length estimate and the three-step grading of a result.
// Every operation is defined for the whole int range; where an
// intermediate would leave 32 bits it is computed in 64.
#pragma once

#include <cstdint>

namespace game::world {

class FixedMath {
public:
    // angle in 256ths of a turn; any int (only the low 8 bits count).
    static int sine(int angle);
    static int cosine(int angle);
    // floor(sqrt(v)) for v below 2^62; 0 for v < 0.
    static int isqrt(std::int64_t v);
    // max(|dx|, |dy|) + min(|dx|, |dy|) x 53 / 128, wrapped to 32 bits.
    static int approxDistance(int dx, int dy);
    // 3 at high, 2 from the middle of [low, high), 1 from low, 0 below.
    static int gradeOf(int value, int low, int high);
    // floor(a / b) for b > 0 (map pixels to cells when a may be negative).
    static int floorDiv(int a, int b);

    // Java's int arithmetic, for the places where the game relies on it.
    static int wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }
    static int add(int a, int b) { return wrap(std::int64_t{a} + b); }
    static int mul(int a, int b) { return wrap(std::int64_t{a} * b); }
    static int shl(int a, int n) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << (n & 31)); }
};

}  // namespace game::world
