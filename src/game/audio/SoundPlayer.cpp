#include "game/audio/SoundPlayer.h"

#include <algorithm>
#include <sstream>

#include "game/MainCanvas.h"
#include "javax/microedition/media/Manager.h"
#include "javax/microedition/media/MediaException.h"
#include "javax/microedition/media/Player.h"
#include "javax/microedition/media/PlayerListener.h"
#include "javax/microedition/media/control/VolumeControl.h"

namespace game {

using javax::microedition::media::Player;

namespace {
std::unique_ptr<SoundPlayer::State>& stateStore() {
    static auto s = std::make_unique<SoundPlayer::State>();
    return s;
}

// Player events are not used by the game.
class IgnoredEvents final : public javax::microedition::media::PlayerListener {
public:
    void playerUpdate(Player*, const std::string&, const std::any&) override {}
};
}  // namespace

SoundPlayer::State& SoundPlayer::state() { return *stateStore(); }

void SoundPlayer::resetClassState() {
    closeAll();
    stateStore() = std::make_unique<State>();
}

int SoundPlayer::clampVolume(int step) { return std::clamp(step, 0, kMaxVolume); }

const char* SoundPlayer::contentTypeOf(int id) {
    switch (id) {
    case kMenuMusic:
    case kLevelSelectMusic:
    case kSwingMusic:
    case kCrashMusic: return contentTypes[3];
    default: return contentTypes[1];
    }
}

void SoundPlayer::closeQuietly(std::shared_ptr<Player>& player) {
    if (!player) return;
    try {
        player->close();
    } catch (const std::exception&) {
    }
    player.reset();
}

std::shared_ptr<Player> SoundPlayer::createPlayer(int id, int loops, int step) {
    State& s = state();
    if (id == -1) throw javax::microedition::media::MediaException("no sound");
    const auto file = MainCanvas::resourceBytes(id);
    const std::string type = contentTypeOf(id);
    std::shared_ptr<Player> player;
    if (s.factory) {
        player = s.factory(*file, type);
    } else {
        std::istringstream in(std::string(file->begin(), file->end()));
        player = javax::microedition::media::Manager::createPlayer(in, type);
    }
    // The runtime answers null, not an error, for what it cannot play.
    if (!player) throw javax::microedition::media::MediaException("no player for " + type);
    try {
        if (!s.listener) s.listener = std::make_shared<IgnoredEvents>();
        player->addPlayerListener(s.listener);
        if (player->getState() != Player::PREFETCHED) player->prefetch();
        player->setLoopCount(loops);
        if (auto control = std::dynamic_pointer_cast<javax::microedition::media::control::VolumeControl>(
                player->getControl("VolumeControl")))
            control->setLevel(clampVolume(step) * 20);
        player->start();
    } catch (...) {
        closeQuietly(player);
        throw;
    }
    return player;
}

bool SoundPlayer::playMusic(int id, int, int) {
    State& s = state();
    if (s.musicVolume != 0 && id != -1) {
        closeQuietly(s.musicPlayer);
        s.currentMusic = -1;
        try {
            s.musicPlayer = createPlayer(id, -1, s.musicVolume);
        } catch (const std::exception&) {
        }
        // Remembered even when it failed, so that a volume change tries again.
        s.currentMusic = id;
    }
    MainCanvas::dropPackCache();
    return true;
}

void SoundPlayer::stopMusic() {
    State& s = state();
    closeQuietly(s.musicPlayer);
    s.currentMusic = -1;
}

void SoundPlayer::setMusicVolume(int step) {
    State& s = state();
    step = clampVolume(step);
    if (step == 0) {
        s.musicVolume = 0;
        stopMusic();
        return;
    }
    s.musicVolume = step;
    if (!s.musicPlayer) return;
    // A closed player never starts again: the tune restarts on a new one.
    closeQuietly(s.musicPlayer);
    if (s.currentMusic == -1) return;
    try {
        s.musicPlayer = createPlayer(s.currentMusic, -1, step);
    } catch (const std::exception&) {
    }
}

void SoundPlayer::playEffect(int id) {
    State& s = state();
    if (id == -1) {
        closeQuietly(s.effectsPlayer);
        return;
    }
    if (s.effectsVolume == 0) return;
    closeQuietly(s.effectsPlayer);
    try {
        s.effectsPlayer = createPlayer(id, 1, s.effectsVolume);
    } catch (const std::exception&) {
    }
}

void SoundPlayer::playSound(int id, int) {
    if (id != -1) playEffect(id);
}

void SoundPlayer::stopEffects() { closeQuietly(state().effectsPlayer); }

void SoundPlayer::setEffectsVolume(int step) {
    State& s = state();
    s.effectsVolume = clampVolume(step);
    if (s.effectsVolume == 0) stopEffects();
}

std::shared_ptr<Player> SoundPlayer::startSound(int id, int loops, int step) {
    if (id == -1) return nullptr;
    try {
        return createPlayer(id, loops, step);
    } catch (const std::exception&) {
        return nullptr;
    }
}

void SoundPlayer::pause() {
    State& s = state();
    if (s.musicPlayer) {
        try {
            s.musicPlayer->stop();
        } catch (const std::exception&) {
        }
    }
    stopEffects();
}

void SoundPlayer::closeAll() {
    stopMusic();
    stopEffects();
}

}  // namespace game
