// The silent audio driver, used when no audio device opens. Its lines take
// and discard PCM at the pace a real line would play it (by the process
// clock), so players behave the same with or without sound.
#pragma once

#include "platform/AudioOutput.h"

namespace platform {

class NoneAudioDriver final : public AudioDriver {
public:
    const char* name() const override { return "none"; }
    std::shared_ptr<AudioLine> openLine(const PcmFormat& format) override;
};

}  // namespace platform
