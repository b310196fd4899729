#include "com/nokia/mid/sound/Sound.h"

#include <string>

#include "TarvokinEmu/Emulator.h"

namespace com::nokia::mid::sound {

using TarvokinEmu::Emulator;

Sound::Sound(const std::vector<std::uint8_t>&, int type) {
    Emulator::trace("Nokia Sound created from byte[], type:" + std::to_string(type));
}

Sound::Sound(int, std::int64_t) {}

void Sound::setGain(int gain) {
    gain_ = gain;
    Emulator::trace("Nokia Sound.setGain(" + std::to_string(gain) + ")");
}

void Sound::play(int loop) { Emulator::trace("Nokia Sound.play() loop:" + std::to_string(loop)); }
void Sound::release() { Emulator::trace("Nokia Sound.release()"); }
void Sound::resume() { Emulator::trace("Nokia Sound.resume()"); }
void Sound::stop() { Emulator::trace("Nokia Sound.stop()"); }

}  // namespace com::nokia::mid::sound
