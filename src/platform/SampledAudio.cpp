#include "platform/SampledAudio.h"

#include "platform/Mp3Decoder.h"
#include "platform/WavDecoder.h"

namespace platform {

std::unique_ptr<PcmSource> SampledAudio::open(SoundBytes bytes) {
    if (!bytes || bytes->empty()) throw UnsupportedAudioFile("could not get audio input stream from input stream");
    if (WavDecoder::recognises(*bytes)) return WavDecoder::open(std::move(bytes));
    return Mp3Decoder::open(std::move(bytes));
}

}  // namespace platform
