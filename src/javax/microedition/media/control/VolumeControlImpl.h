// A player's volume: the level is stored as given (no clamping to 0..100)
// and read by the sampled player at each start; muting is only remembered.
// Atomic because a play thread's start reads what the game thread set.
#pragma once

#include <atomic>

#include "javax/microedition/media/control/VolumeControl.h"

namespace javax::microedition::media::control {

class VolumeControlImpl final : public VolumeControl {
public:
    int setLevel(int l) override {
        level_ = l;
        return l;
    }
    int getLevel() override { return level_; }
    void setMute(bool mute) override { muted_ = mute; }
    bool isMuted() override { return muted_; }

private:
    std::atomic<int> level_{100};
    std::atomic<bool> muted_{false};
};

}  // namespace javax::microedition::media::control
