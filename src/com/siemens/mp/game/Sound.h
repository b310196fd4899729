#pragma once

namespace com::siemens::mp::game {

// Tones are not played.
class Sound {
public:
    static void playTone(int, int) {}
};

}  // namespace com::siemens::mp::game
