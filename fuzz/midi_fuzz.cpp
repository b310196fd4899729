// Standard MIDI File parsing of untrusted bytes, and the timing arithmetic
// a sequencer does over the result.
#include <cstddef>
#include <cstdint>

#include "platform/MidiSequence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        auto seq = platform::MidiSequence::parse({data, size});
        if (seq.microsecondLength() < 0) __builtin_trap();
        std::int64_t tick = 0;
        for (const auto& e : seq.events()) {
            if (e.tick < tick) __builtin_trap();  // merged in time order
            tick = e.tick;
        }
    } catch (const platform::AudioError&) {
    }
    return 0;
}
