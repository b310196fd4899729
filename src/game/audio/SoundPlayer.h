// The game's two sound channels: one music player that loops a tune and one
// effects player that plays a short sound once, both fed whole sound files
// from the packs. Each channel has a volume step 0..5 (the player gets
// step x 20); step 0 silences the channel and refuses new sounds on it.
//
// Sound never stops the game: every media error is caught here and the
// channel is left empty. All operations run on the frame thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace javax::microedition::media {
class Player;
class PlayerListener;
}  // namespace javax::microedition::media

namespace game {

class SoundPlayer {
public:
    using Player = javax::microedition::media::Player;

    static constexpr int kMaxVolume = 5;
    static constexpr int kDefaultVolume = 3;
    // The four tunes; every other sound is a WAV file.
    static constexpr int kMenuMusic = 0x10014, kLevelSelectMusic = 0x20000, kSwingMusic = 0x20001,
                         kCrashMusic = 0x30000;
    static constexpr std::array<const char*, 4> contentTypes{"audio/midi", "audio/wav", "audio/amr", "audio/mpeg"};

    // Makes an unstarted player from a whole sound file; null when nothing
    // plays that type. Tests install one that records what it is asked.
    using PlayerFactory =
        std::function<std::shared_ptr<Player>(const std::vector<std::uint8_t>& file, const std::string& contentType)>;

    // Class-wide state, grouped so that tests can start clean.
    struct State {
        std::shared_ptr<Player> musicPlayer;
        std::shared_ptr<Player> effectsPlayer;
        int currentMusic = -1;
        int musicVolume = kDefaultVolume;
        int effectsVolume = kDefaultVolume;
        // Null: the handset media runtime.
        PlayerFactory factory;
        std::shared_ptr<javax::microedition::media::PlayerListener> listener;
    };
    static State& state();
    static void resetClassState();

    // "audio/mpeg" for the four tunes, "audio/wav" for everything else.
    static const char* contentTypeOf(int id);

    // Starts tune id looping on the music channel, replacing what played;
    // nothing with step 0 or id -1. Always true; drops the pack cache.
    static bool playMusic(int id, int unused1 = -1, int unused2 = 0);
    // Closes the music player; currentMusic becomes -1.
    static void stopMusic();
    // Step 0 stops the music; another step restarts the current tune from
    // its beginning at the new volume. Steps are clamped to 0..5.
    static void setMusicVolume(int step);
    // Plays sound id once on the effects channel; id -1 silences it.
    static void playEffect(int id);
    // As playEffect, but id -1 does nothing.
    static void playSound(int id, int unused = 1);
    static void stopEffects();
    // Step 0 also closes the effects player. Clamped to 0..5.
    static void setEffectsVolume(int step);
    // A started player for sound id with the given loop count and volume
    // step, not stored in either channel; null for id -1 or when the sound
    // cannot be played.
    static std::shared_ptr<Player> startSound(int id, int loops, int step);
    static int getMusicVolume() { return state().musicVolume; }
    static int getEffectsVolume() { return state().effectsVolume; }

    // Pausing the application: the tune stops (its player is kept), the
    // effect is closed.
    static void pause();
    // Leaving the application: both players closed and forgotten.
    static void closeAll();

    static int clampVolume(int step);

private:
    // Created, listened to, prefetched, looped, at volume step x 20 and
    // started. Throws when the sound cannot be read or played; a player
    // that was made but failed later is closed first.
    static std::shared_ptr<Player> createPlayer(int id, int loops, int step);
    static void closeQuietly(std::shared_ptr<Player>& player);
};

}  // namespace game
