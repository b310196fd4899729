// The game's one random generator: a 32-bit linear congruential step
// (multiplier and increment 0x9E00AF5D) whose low 16 bits are scaled to
// the wanted range. Its state is one word, so copying a world copies the
// sequence it will draw.
#pragma once

#include <cstdint>

namespace game::world {

struct GameRandom {
    std::uint32_t seed = 0;

    // Advances the state and returns its low 16 bits.
    int step() {
        seed = seed * 0x9E00AF5Du + 0x9E00AF5Du;
        return static_cast<int>(seed & 0xFFFF);
    }
    // 0..n-1 for n > 0 (0 for n = 1; n <= 0 gives 0 or a negative value).
    int next(int n) { return static_cast<int>((std::int64_t{step()} * n) >> 16); }
    // One step scaled by mul >> shift, as several effects draw their values.
    int scaled(int mul, int shift) { return static_cast<int>((std::int64_t{step()} * mul) >> shift); }
    // Bit 15 of the new low half.
    bool bit() { return (step() & 0x8000) != 0; }
};

}  // namespace game::world
