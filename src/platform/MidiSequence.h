// Standard MIDI Files (formats 0, 1 and 2) read into one time-ordered list
// of events, and the receiver interface that sequenced events go to.
//
//   MidiSequence.cpp   the file reader
//   MidiSequencer.cpp  playing a sequence on its own thread (MidiSequencer.h)
//   MidiSynth.cpp      FluidSynth, rendering into an output line (MidiSynth.h)
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "platform/AudioLine.h"

namespace platform {

// The bytes are no Standard MIDI File, or a broken one.
class InvalidMidiData : public AudioError {
public:
    using AudioError::AudioError;
};
// No sequencer or synthesizer can be had (no soundfont, no synth).
class MidiUnavailable : public AudioError {
public:
    using AudioError::AudioError;
};

struct MidiEvent {
    std::int64_t tick = 0;
    std::uint8_t status = 0;        // 0x80..0xEF channel message, 0xF0/0xF7 sysex, 0xFF meta
    std::uint8_t data1 = 0, data2 = 0;
    std::uint8_t metaType = 0;      // for 0xFF
    std::vector<std::uint8_t> payload;  // meta and sysex bytes

    bool isMeta(int type) const { return status == 0xFF && metaType == type; }
};

class MidiSequence {
public:
    static constexpr int kMetaTempo = 0x51;
    static constexpr int kMetaEndOfTrack = 0x2F;
    static constexpr std::int64_t kDefaultTempo = 500000;  // microseconds per quarter note

    // Throws InvalidMidiData naming the fault and where it is.
    static MidiSequence parse(std::span<const std::uint8_t> bytes);

    // All tracks merged, ordered by tick; ties keep track order.
    const std::vector<MidiEvent>& events() const { return events_; }
    // The last tick of any track (its end-of-track event).
    std::int64_t tickLength() const { return tickLength_; }
    int trackCount() const { return trackCount_; }

    // Ticks per quarter note (tempo-based timing) or, for SMPTE timing,
    // 0 with ticksPerSecond() set instead.
    int resolution() const { return resolution_; }
    double ticksPerSecond() const { return ticksPerSecond_; }

    // Microseconds for `ticks` ticks at `tempo` (microseconds per quarter).
    std::int64_t ticksToMicros(std::int64_t ticks, std::int64_t tempo) const;
    // Length in microseconds, following the tempo changes.
    std::int64_t microsecondLength() const;

private:
    std::vector<MidiEvent> events_;
    std::int64_t tickLength_ = 0;
    int trackCount_ = 0;
    int resolution_ = 0;
    double ticksPerSecond_ = 0;
};

// Where a sequencer sends its events: send() happens at the event's time;
// advance() lets the time between events pass (a synthesizer renders it).
class MidiReceiver {
public:
    virtual ~MidiReceiver() = default;
    virtual void send(const MidiEvent& event) = 0;
    // Lets `micros` microseconds of sound pass. Returns false early once
    // `running` turns false or the receiver is closed.
    virtual bool advance(std::int64_t micros, const std::atomic<bool>& running) = 0;
};

}  // namespace platform
