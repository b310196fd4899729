// The General MIDI synthesizer: FluidSynth with a soundfont found at run
// time, rendering into an output line of AudioOutput, so MIDI music goes
// through the same mixer (and the same test drivers) as sampled sound.
// FluidSynth's own audio drivers are never used. Time advances only as the
// sequencer asks (MidiReceiver::advance), which keeps notes sample-exact.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/MidiSequence.h"

namespace platform {

class MidiSynth {
public:
    static constexpr int kSampleRate = 44100;

    // Where soundfonts are looked for, first found wins.
    struct Config {
        std::vector<std::string> soundFontPaths = {
            "/usr/share/sounds/sf2/FluidR3_GM.sf2",   "/usr/share/sounds/sf2/default-GM.sf2",
            "/usr/share/soundfonts/default.sf2",      "/usr/share/soundfonts/FluidR3_GM.sf2",
            "/usr/share/sounds/sf2/TimGM6mb.sf2",     "/usr/share/sounds/sf3/default-GM.sf3",
            "/usr/share/soundfonts/default.sf3",
        };
    };
    static Config& config();
    static void resetConfig();
    static std::optional<std::string> findSoundFont();

    // A new, closed synthesizer.
    static std::shared_ptr<MidiSynth> getDefault();

    MidiSynth();
    ~MidiSynth();  // closes it
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // Loads the soundfont and opens a line. Throws MidiUnavailable when
    // there is no soundfont, LineUnavailable when no line opens.
    void open();
    // Lets the line play out what it holds, then frees it and the synth.
    void close();
    bool isOpen() const;

    // Events go to the synthesizer; advance() renders into the line.
    std::shared_ptr<MidiReceiver> getReceiver();

    struct Impl;

private:
    std::shared_ptr<Impl> impl_;
};

}  // namespace platform
