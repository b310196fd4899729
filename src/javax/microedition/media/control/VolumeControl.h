#pragma once

#include "javax/microedition/media/Control.h"

namespace javax::microedition::media::control {

class VolumeControl : public media::Control {
public:
    virtual int setLevel(int level) = 0;
    virtual int getLevel() = 0;
    virtual void setMute(bool mute) = 0;
    virtual bool isMuted() = 0;
};

}  // namespace javax::microedition::media::control
