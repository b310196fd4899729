// Sampled sound files decoded to 16-bit PCM. The encoded bytes stay in
// memory and are shared; a source is read once from its start, and a new
// one is opened to play the file again.
//
//   SampledAudio.cpp  recognising the container
//   WavDecoder.cpp    RIFF WAVE: PCM, float, A-law, mu-law, MS and IMA ADPCM
//   Mp3Decoder.cpp    MPEG audio layers I to III (mpg123)
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/AudioLine.h"

namespace platform {

using SoundBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// Decoded signed 16-bit little-endian PCM in the file's own rate and
// channel count.
class PcmSource {
public:
    virtual ~PcmSource() = default;
    virtual const PcmFormat& format() const = 0;
    // Fills up to `length` bytes with whole frames. Returns the count, 0
    // only when `length` is less than a frame, and -1 at the end of the
    // sound (also when the data turns out corrupt midway).
    virtual int read(std::uint8_t* out, int length) = 0;
    // How far into the encoded bytes decoding has got; safe to ask from
    // another thread while one reads.
    virtual std::int64_t sourceBytesRead() const = 0;
};

class SampledAudio {
public:
    // A RIFF WAVE file, else MPEG audio. Throws UnsupportedAudioFile when
    // the bytes are neither, or when the header is unusable.
    static std::unique_ptr<PcmSource> open(SoundBytes bytes);
};

}  // namespace platform
