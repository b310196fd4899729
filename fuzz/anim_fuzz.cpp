// Animation entries: the game's decoder and the structured reader on
// untrusted bytes; what parses re-encodes to an entry that decodes alike.
#include <cstddef>
#include <cstdint>
#include <span>

#include "game/format/AnimationData.h"
#include "java/lang/Throwable.h"

using game::format::AnimationData;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> entry(data, size);
    try {
        const auto shorts = AnimationData::decode(entry, [](std::int32_t, int key, int, int) { return key & 0x7FF; });
        if (shorts.size() > 0x3FFF) __builtin_trap();
    } catch (const java::lang::Throwable&) {
    }
    try {
        const auto a = AnimationData::parse(entry);
        const auto again = AnimationData::parse(AnimationData::encode(a));
        if (again.frames.size() != a.frames.size()) __builtin_trap();
    } catch (const java::lang::Throwable&) {
    }
    return 0;
}
