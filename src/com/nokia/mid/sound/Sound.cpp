#include "com/nokia/mid/sound/Sound.h"

#include <string>

#include "TarvokinEmu/Trace.h"

namespace com::nokia::mid::sound {


Sound::Sound(const std::vector<std::uint8_t>&, int type) {
    TarvokinEmu::trace("Nokia Sound created from byte[], type:" + std::to_string(type));
}

Sound::Sound(int, std::int64_t) {}

void Sound::setGain(int gain) {
    gain_ = gain;
    TarvokinEmu::trace("Nokia Sound.setGain(" + std::to_string(gain) + ")");
}

void Sound::play(int loop) { TarvokinEmu::trace("Nokia Sound.play() loop:" + std::to_string(loop)); }
void Sound::release() { TarvokinEmu::trace("Nokia Sound.release()"); }
void Sound::resume() { TarvokinEmu::trace("Nokia Sound.resume()"); }
void Sound::stop() { TarvokinEmu::trace("Nokia Sound.stop()"); }

}  // namespace com::nokia::mid::sound
