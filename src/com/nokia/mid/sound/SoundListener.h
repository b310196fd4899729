#pragma once

namespace com::nokia::mid::sound {

class Sound;

class SoundListener {
public:
    virtual ~SoundListener() = default;
    virtual void soundStateChanged(Sound* sound, int event) = 0;
};

}  // namespace com::nokia::mid::sound
