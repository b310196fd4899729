// RIFF WAVE files: integer PCM of 8 to 32 bits, IEEE float, A-law, mu-law,
// Microsoft ADPCM, IMA (DVI) ADPCM, the extensible header over PCM and
// float, and MPEG audio wrapped in WAVE (handed to Mp3Decoder).
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/SampledAudio.h"

namespace platform {

class WavDecoder {
public:
    // "RIFF" ... "WAVE" at the start.
    static bool recognises(std::span<const std::uint8_t> bytes);
    // Throws UnsupportedAudioFile naming what is wrong with the header.
    static std::unique_ptr<PcmSource> open(SoundBytes bytes);

    // Format tags.
    static constexpr int kPcm = 0x0001;
    static constexpr int kMsAdpcm = 0x0002;
    static constexpr int kFloat = 0x0003;
    static constexpr int kALaw = 0x0006;
    static constexpr int kMuLaw = 0x0007;
    static constexpr int kImaAdpcm = 0x0011;
    static constexpr int kMpeg = 0x0050;
    static constexpr int kMpegLayer3 = 0x0055;
    static constexpr int kExtensible = 0xFFFE;
};

}  // namespace platform
