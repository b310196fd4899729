// The MIDI player, for "audio/mid": each start parses the file anew and
// plays it on a new sequencer connected to a new synthesizer. Loop counts
// count passes as the sampled player does (MidiSequencer.h). The level of
// the volume control is never applied to MIDI.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "javax/microedition/media/BasicPlayer.h"

namespace javax::microedition::media {

class PlayerImpl final : public BasicPlayer {
public:
    // Copies as many bytes as the stream reports available; `type` is
    // ignored.
    PlayerImpl(std::istream& stream, const std::string& type);

    // Stops the player started last, if any.
    static void stopLastStarted();
    static void resetClassState();

    // Plays whose sequencer is still running.
    int runningPlayCount();
    const std::vector<std::uint8_t>& midiData() const;

    struct Core;
};

}  // namespace javax::microedition::media
