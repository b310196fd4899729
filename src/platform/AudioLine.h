// Sound output as the players see it: an output line takes 16-bit
// little-endian PCM in its own rate and channel count and plays it through
// the process's audio device. Lines are made by AudioOutput (AudioOutput.h).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

// Failures of the sound layer. The message names what was wrong.
class AudioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// No line can take the requested format.
class LineUnavailable : public AudioError {
public:
    using AudioError::AudioError;
};
// The bytes are no sound file the layer knows.
class UnsupportedAudioFile : public AudioError {
public:
    using AudioError::AudioError;
};

// Signed 16-bit little-endian PCM, interleaved.
struct PcmFormat {
    int sampleRate = 44100;
    int channels = 2;

    int frameBytes() const { return 2 * channels; }
    bool operator==(const PcmFormat&) const = default;
    // "PCM_SIGNED 44100 Hz, 16 bit, stereo, 4 bytes/frame, little-endian"
    std::string describe() const;
};

class AudioLine {
public:
    virtual ~AudioLine() = default;

    virtual const PcmFormat& format() const = 0;

    // Playback runs between start() and stop(); a stopped line keeps what it
    // holds.
    virtual void start() = 0;
    virtual void stop() = 0;
    // Takes all of data, blocking while the line holds more than its buffer
    // size (a chunk or two). Returns the bytes taken: fewer only when the
    // line was closed meanwhile. A partial frame waits for its remainder.
    virtual int write(const std::uint8_t* data, int length) = 0;
    // Blocks until everything written has been played. Returns at once on a
    // stopped or closed line.
    virtual void drain() = 0;
    // Discards what the line holds, wakes blocked writers; the line is dead.
    virtual void close() = 0;
    // Lets the line play out what it holds, then closes it; returns at once.
    virtual void closeWhenPlayedOut() = 0;
    // Before start(): this line's sound begins where `previous` (closing
    // when played out) ends, instead of sounding over its tail, so that the
    // passes of a loop join without a gap or an overlap. Lines that play
    // nothing may ignore it.
    virtual void follow(const std::shared_ptr<AudioLine>& previous) {}
    virtual bool isOpen() const = 0;

    // Linear volume: 1 leaves the samples as they are, 0 is silence; values
    // above 1 amplify (clipped at full scale).
    virtual bool hasVolumeControl() const { return true; }
    virtual void setVolume(float linear) = 0;
    virtual float volume() const = 0;
    // Gain in decibels, on lines that offer it instead of a linear volume.
    virtual bool hasGainControl() const { return false; }
    virtual void setGainDb(float) {}

    // Bytes the line buffers before write() blocks.
    virtual int bufferSize() const = 0;
    // Frames of this line's format that have been played (or mixed).
    virtual std::int64_t framesPlayed() const = 0;
};

}  // namespace platform
