// Plays a MidiSequence on a thread of its own, sending its channel events
// to a receiver at their times and its meta events to listeners. When the
// last pass ends the listeners get an end-of-track meta event (type 47) on
// the sequencer's thread.
//
// Loop count: the number of passes, as the sampled player counts them: 0
// and 1 play the sequence once, n plays it n times, a negative count loops
// until stop(). A sequence of zero length plays once whatever the count.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "platform/MidiSequence.h"

namespace platform {

class MidiSequencer {
public:
    using MetaListener = std::function<void(const MidiEvent&)>;

    // A new, closed sequencer.
    static std::shared_ptr<MidiSequencer> getDefault();

    MidiSequencer();
    ~MidiSequencer();  // closes it
    MidiSequencer(const MidiSequencer&) = delete;
    MidiSequencer& operator=(const MidiSequencer&) = delete;

    // The sequencer makes no sound of its own; it needs a synthesizer.
    bool isSynthesizer() const { return false; }

    void open();
    // Stops playback and lets go of the receiver. May be called from a
    // listener on the sequencer's own thread.
    void close();
    bool isOpen() const;

    void setSequence(std::shared_ptr<const MidiSequence> sequence);
    void setLoopCount(int count);
    int getLoopCount() const;
    // The transmitter's connection; without one, time passes by the clock.
    void setReceiver(std::shared_ptr<MidiReceiver> receiver);
    void addMetaEventListener(MetaListener listener);

    // Throws AudioError when not open or without a sequence. Starting a
    // running sequencer does nothing.
    void start();
    // Silences the receiver's notes; the position returns to the start.
    void stop();
    bool isRunning() const;

    struct Impl;

private:
    std::shared_ptr<Impl> impl_;
};

}  // namespace platform
