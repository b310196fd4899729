// WAV decoding of untrusted bytes: header parsing and every coding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/WavDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
    try {
        auto source = platform::WavDecoder::open(bytes);
        std::vector<std::uint8_t> buffer(4096);
        // Odd read sizes exercise partial blocks and frames.
        int sizes[] = {4096, 7, 1, 333};
        for (int i = 0; i < 100000; ++i) {
            int n = source->read(buffer.data(), sizes[i % 4]);
            if (n == -1) break;
            if (n < 0 || n > sizes[i % 4]) __builtin_trap();
        }
    } catch (const platform::AudioError&) {
    }
    return 0;
}
