#include "platform/AudioOutput.h"

#include <mutex>

#include "platform/NoneAudio.h"
#include "platform/SdlAudio.h"

namespace platform {

std::string PcmFormat::describe() const {
    std::string layout = channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + " channels";
    return "PCM_SIGNED " + std::to_string(sampleRate) + " Hz, 16 bit, " + layout + ", " +
           std::to_string(frameBytes()) + " bytes/frame, little-endian";
}

namespace {

struct OutputState {
    std::mutex mutex;
    std::shared_ptr<AudioDriver> installed;
    std::shared_ptr<AudioDriver> active;  // the SDL driver, or none when it failed
};

// Never destroyed: play threads may still write while the process exits.
OutputState& state() {
    static auto* s = new OutputState;
    return *s;
}

std::shared_ptr<AudioDriver> currentDriver() {
    OutputState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.installed) return s.installed;
    if (!s.active) {
        try {
            s.active = SdlAudioDriver::open();
        } catch (const AudioError&) {
            s.active = std::make_shared<NoneAudioDriver>();
        }
    }
    return s.active;
}

}  // namespace

bool AudioOutput::supports(const PcmFormat& f) {
    return f.sampleRate >= kMinSampleRate && f.sampleRate <= kMaxSampleRate && f.channels >= 1 &&
           f.channels <= kMaxChannels;
}

void AudioOutput::requireSupported(const PcmFormat& f) {
    if (!supports(f))
        throw LineUnavailable("No line matching interface SourceDataLine supporting format " + f.describe() +
                              " is supported.");
}

std::shared_ptr<AudioLine> AudioOutput::openLine(const PcmFormat& format) {
    requireSupported(format);
    return currentDriver()->openLine(format);
}

std::string AudioOutput::driverName() {
    auto driver = currentDriver();
    if (auto* sdl = dynamic_cast<SdlAudioDriver*>(driver.get())) return std::string("sdl:") + sdl->backendName();
    return driver->name();
}

void AudioOutput::install(std::shared_ptr<AudioDriver> driver) {
    OutputState& s = state();
    std::lock_guard lock(s.mutex);
    s.installed = std::move(driver);
}

void AudioOutput::shutdown() {
    std::shared_ptr<AudioDriver> closing;
    {
        OutputState& s = state();
        std::lock_guard lock(s.mutex);
        closing = std::move(s.active);
    }
    closing.reset();  // outside the lock: closing the device waits for its callback
}

}  // namespace platform
