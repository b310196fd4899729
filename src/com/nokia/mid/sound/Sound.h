// The vendor sound class: it makes no sound, keeps its gain and traces the
// calls a game makes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "com/nokia/mid/sound/SoundListener.h"

namespace com::nokia::mid::sound {

class Sound {
public:
    static constexpr int FORMAT_TONE = 1;
    static constexpr int FORMAT_WAV = 5;
    static constexpr int SOUND_PLAYING = 0;
    static constexpr int SOUND_STOPPED = 1;
    static constexpr int SOUND_UNINITIALIZED = 3;

    Sound(const std::vector<std::uint8_t>& data, int type);
    Sound(int freq, std::int64_t duration);

    void init(const std::vector<std::uint8_t>&, int) {}
    void init(int, std::int64_t) {}
    int getGain() const { return gain_; }
    void setGain(int gain);
    void play(int loop);
    void release();
    void resume();
    void stop();
    int getState() const { return 0; }
    void setSoundListener(std::shared_ptr<SoundListener>) {}

    static int getConcurrentSoundCount(int) { return 0; }
    static std::optional<std::vector<int>> getSupportedFormats() { return std::nullopt; }

private:
    int gain_ = 100;
};

}  // namespace com::nokia::mid::sound
