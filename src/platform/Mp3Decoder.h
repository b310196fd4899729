// MPEG-1/2/2.5 audio, layers I to III, decoded by libmpg123 straight from
// memory (a reader over the shared bytes; nothing is copied).
#pragma once

#include <cstddef>
#include <memory>

#include "platform/SampledAudio.h"

namespace platform {

class Mp3Decoder {
public:
    // Decodes bytes[offset, offset + length). Throws UnsupportedAudioFile
    // when no MPEG audio frame is found there.
    static std::unique_ptr<PcmSource> open(SoundBytes bytes, std::size_t offset, std::size_t length);
    static std::unique_ptr<PcmSource> open(SoundBytes bytes);
};

}  // namespace platform
