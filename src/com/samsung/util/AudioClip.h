// The vendor audio clip: every operation does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace com::samsung::util {

class AudioClip {
public:
    static constexpr int TYPE_MMF = 1;
    static constexpr int TYPE_MP3 = 2;
    static constexpr int TYPE_MIDI = 3;

    AudioClip(int, const std::string&) {}
    AudioClip(int, const std::vector<std::uint8_t>&, int, int) {}

    void play(int, int) {}
    void pause() {}
    void resume() {}
    void stop() {}
    static bool isSupported() { return false; }
};

}  // namespace com::samsung::util
