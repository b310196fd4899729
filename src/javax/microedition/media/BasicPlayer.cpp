#include "javax/microedition/media/BasicPlayer.h"

#include "TarvokinEmu/Emulator.h"

namespace javax::microedition::media {

using TarvokinEmu::Emulator;

void BasicPlayer::realize() {
    Emulator::trace("Player::public void realize()");
    core_->state = REALIZED;
}

void BasicPlayer::prefetch() {
    Emulator::trace("Player::public void prefetch()");
    core_->state = PREFETCHED;
}

void BasicPlayer::deallocate() {
    Emulator::trace("Player::public void deallocate()");
    core_->state = REALIZED;
}

void BasicPlayer::close() {
    Emulator::trace("Player::close()");
    stop();
    core_->state = CLOSED;
}

std::shared_ptr<Control> BasicPlayer::getControl(const std::string& controlType) {
    if (controlType == "VolumeControl") return core_->volumeControl;
    return nullptr;
}

}  // namespace javax::microedition::media
