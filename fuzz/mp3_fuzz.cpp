// MPEG audio decoding of untrusted bytes through the in-memory reader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/SampledAudio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
    try {
        // Not RIFF data goes to the MPEG decoder; RIFF data with the MPEG
        // format tags does too.
        auto source = platform::SampledAudio::open(bytes);
        std::vector<std::uint8_t> buffer(4096);
        for (int i = 0; i < 100000; ++i) {
            int n = source->read(buffer.data(), 4096);
            if (n == -1) break;
            if (n < 0 || n > 4096 || n % source->format().frameBytes() != 0) __builtin_trap();
        }
    } catch (const platform::AudioError&) {
    }
    return 0;
}
