#include "javax/microedition/media/BasicPlayer.h"

#include "TarvokinEmu/Trace.h"

namespace javax::microedition::media {


void BasicPlayer::realize() {
    TarvokinEmu::trace("Player::public void realize()");
    core_->state = REALIZED;
}

void BasicPlayer::prefetch() {
    TarvokinEmu::trace("Player::public void prefetch()");
    core_->state = PREFETCHED;
}

void BasicPlayer::deallocate() {
    TarvokinEmu::trace("Player::public void deallocate()");
    core_->state = REALIZED;
}

void BasicPlayer::close() {
    TarvokinEmu::trace("Player::close()");
    stop();
    core_->state = CLOSED;
}

std::shared_ptr<Control> BasicPlayer::getControl(const std::string& controlType) {
    if (controlType == "VolumeControl") return core_->volumeControl;
    return nullptr;
}

}  // namespace javax::microedition::media
