// The process's sound output. A driver makes output lines; the facade picks
// the SDL driver on first use and falls back to the silent "none" driver
// when no audio device opens, so a line is always available for the
// formats the layer supports.
//
//   AudioOutput.cpp  facade, format limits
//   SdlAudio.cpp     SDL2 device and mixer (SdlAudio.h)
//   NoneAudio.cpp    silent lines paced by the clock (NoneAudio.h)
#pragma once

#include <memory>
#include <string>

#include "platform/AudioLine.h"

namespace platform {

class AudioDriver {
public:
    virtual ~AudioDriver() = default;
    virtual const char* name() const = 0;
    // A new open, stopped line for the format. Throws LineUnavailable.
    virtual std::shared_ptr<AudioLine> openLine(const PcmFormat& format) = 0;
};

class AudioOutput {
public:
    // Rates and channel counts any line accepts; others are unavailable.
    static constexpr int kMinSampleRate = 1000;
    static constexpr int kMaxSampleRate = 384000;
    static constexpr int kMaxChannels = 8;
    static bool supports(const PcmFormat& format);
    // Throws LineUnavailable naming the format unless it is supported.
    static void requireSupported(const PcmFormat& format);

    // Opens a line on the driver in force, starting the SDL device on first
    // use. Throws LineUnavailable for unsupported formats.
    static std::shared_ptr<AudioLine> openLine(const PcmFormat& format);
    // Name of the driver in force ("sdl:<SDL driver>" or "none"); starts it.
    static std::string driverName();

    // Replaces the driver (tests); null returns to the default choice.
    static void install(std::shared_ptr<AudioDriver> driver);
    // Closes the SDL device and its lines so the next use opens it afresh
    // (tests switch SDL drivers this way, and the disk driver's file is
    // complete once this returns).
    static void shutdown();
};

}  // namespace platform
