// The SDL2 audio driver: one device for the whole process, 16-bit stereo at
// 44100 Hz, and a mixer in its callback that sums every started line.
//
// One mixed device rather than a device per line: SDL back ends differ in
// whether two open devices sound together (a raw ALSA device refuses a
// second open, the disk driver would write two streams into one file),
// whereas a mixer of our own makes music and effects sound together on
// every back end and hands tests a single stream that contains both.
// Each line converts its own rate and channel count to the device format on
// the writer's thread (SDL_AudioStream), so the callback only adds samples.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/AudioOutput.h"

namespace platform {

class SdlLine;

class SdlAudioDriver final : public AudioDriver {
public:
    // Initialises SDL's audio subsystem (it is counted, so the window code
    // may initialise video on its own) and opens the default device.
    // Throws AudioError when either fails.
    static std::shared_ptr<SdlAudioDriver> open();
    ~SdlAudioDriver() override;

    const char* name() const override { return "sdl"; }
    std::shared_ptr<AudioLine> openLine(const PcmFormat& format) override;

    const PcmFormat& deviceFormat() const { return deviceFormat_; }
    int periodFrames() const { return periodFrames_; }
    // SDL's name for the back end in use ("pulseaudio", "disk", ...).
    const char* backendName() const;

    SdlAudioDriver(const SdlAudioDriver&) = delete;
    SdlAudioDriver& operator=(const SdlAudioDriver&) = delete;

private:
    SdlAudioDriver() = default;
    static void callback(void* self, unsigned char* stream, int length);
    void mix(std::int16_t* out, int frames);

    std::uint32_t device_ = 0;
    PcmFormat deviceFormat_;
    int periodFrames_ = 1024;
    std::mutex linesMutex_;  // lines_; taken before any line's own mutex
    std::vector<std::shared_ptr<SdlLine>> lines_;  // in the order they opened
    std::vector<std::int32_t> accumulator_;  // callback only
    std::uint64_t period_ = 0;               // callback only: mix calls so far
};

}  // namespace platform
