#include "game/audio/SoundPlayer.h"

#include "GameTestSupport.h"

namespace {

using game::SoundPlayer;

// Packs 1..3 whose entry i is the one byte i: the recording players name
// the sound they were given by it.
class Sound : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        for (int pack = 1; pack <= 3; ++pack) {
            std::vector<std::vector<std::uint8_t>> entries;
            for (int i = 0; i < 0x20; ++i) entries.push_back({static_cast<std::uint8_t>(i)});
            gametest::writePack("r" + std::to_string(pack), entries);
        }
    }
};

TEST_F(Sound, ChannelsLoopsVolumesAndContentTypes) {
    EXPECT_TRUE(SoundPlayer::playMusic(SoundPlayer::kMenuMusic, -1, 0));
    EXPECT_EQ(sounds(), "#20 audio/mpeg start loops=-1 level=60\n");
    EXPECT_EQ(SoundPlayer::state().currentMusic, 0x10014);
    EXPECT_FALSE(game::MainCanvas::state().packName.has_value());  // music drops the pack cache
    SoundPlayer::setEffectsVolume(2);
    SoundPlayer::playEffect(0x20002);
    SoundPlayer::playSound(0x20001);
    EXPECT_EQ(sounds(), "#2 audio/wav start loops=1 level=40\n#2 audio/wav close\n#1 audio/mpeg start loops=1 level=40\n");
    // The same tune again starts over on a new player.
    SoundPlayer::playMusic(SoundPlayer::kMenuMusic);
    EXPECT_EQ(sounds(), "#20 audio/mpeg close\n#20 audio/mpeg start loops=-1 level=60\n");
}

TEST_F(Sound, VolumeStepsRestartSilenceAndClamp) {
    SoundPlayer::playMusic(0x30000);
    sounds();
    SoundPlayer::setMusicVolume(4);  // a closed player never restarts: a new one plays
    EXPECT_EQ(sounds(), "#0 audio/mpeg close\n#0 audio/mpeg start loops=-1 level=80\n");
    SoundPlayer::setMusicVolume(9);
    EXPECT_EQ(SoundPlayer::getMusicVolume(), 5);
    sounds();
    SoundPlayer::setMusicVolume(0);
    EXPECT_EQ(sounds(), "#0 audio/mpeg close\n");
    EXPECT_EQ(SoundPlayer::state().currentMusic, -1);
    // Step 0 refuses tunes, keeps currentMusic and still drops the pack cache.
    game::MainCanvas::loadPack("r2");
    SoundPlayer::playMusic(0x20000);
    EXPECT_EQ(sounds(), "");
    EXPECT_EQ(SoundPlayer::state().currentMusic, -1);
    EXPECT_FALSE(game::MainCanvas::state().packName.has_value());
    SoundPlayer::setEffectsVolume(-3);
    EXPECT_EQ(SoundPlayer::getEffectsVolume(), 0);
    SoundPlayer::playSound(0x30001);
    EXPECT_EQ(sounds(), "");
}

TEST_F(Sound, NoneAndFailuresNeverReachTheCaller) {
    SoundPlayer::playEffect(0x30003);
    SoundPlayer::playSound(-1);  // does nothing
    EXPECT_EQ(sounds(), "#3 audio/wav start loops=1 level=60\n");
    SoundPlayer::playEffect(-1);  // silences the channel
    EXPECT_EQ(sounds(), "#3 audio/wav close\n");
    EXPECT_EQ(SoundPlayer::startSound(-1, 1, 3), nullptr);
    EXPECT_EQ(SoundPlayer::startSound(0x60001, 1, 3), nullptr);  // no pack 6
    auto player = SoundPlayer::startSound(0x30004, 2, 1);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(SoundPlayer::state().effectsPlayer, nullptr);  // not installed in a channel
    EXPECT_EQ(sounds(), "#4 audio/wav start loops=2 level=20\n");
    // A runtime that makes no player leaves the channel empty.
    SoundPlayer::state().factory = [](const std::vector<std::uint8_t>&, const std::string&) { return nullptr; };
    SoundPlayer::playMusic(0x10014);
    EXPECT_EQ(SoundPlayer::state().musicPlayer, nullptr);
    EXPECT_EQ(SoundPlayer::state().currentMusic, 0x10014);
}

TEST_F(Sound, PauseStopsTheTuneAndClosesTheEffect) {
    SoundPlayer::playMusic(0x20001);
    SoundPlayer::playEffect(0x30005);
    sounds();
    game::MainCanvas::pausePlayers();
    EXPECT_EQ(sounds(), "#1 audio/mpeg stop\n#5 audio/wav close\n");
    EXPECT_NE(SoundPlayer::state().musicPlayer, nullptr);
    game::MainCanvas::closePlayers();
    EXPECT_EQ(sounds(), "#1 audio/mpeg close\n");
    EXPECT_EQ(SoundPlayer::state().musicPlayer, nullptr);
}

// The real media runtime plays a pack's WAV entry through the channel.
TEST_F(Sound, RealPlayersFromPackEntries) {
    SoundPlayer::state().factory = nullptr;
    std::ifstream in(std::string(TEST_DATA_DIR) + "/media/chime.wav", std::ios::binary);
    std::vector<std::uint8_t> wav((std::istreambuf_iterator<char>(in)), {});
    ASSERT_FALSE(wav.empty());
    gametest::writePack("r3", {{0}, wav});
    SoundPlayer::playEffect(0x30001);
    ASSERT_NE(SoundPlayer::state().effectsPlayer, nullptr);
    EXPECT_EQ(SoundPlayer::state().effectsPlayer->getState(), javax::microedition::media::Player::STARTED);
    SoundPlayer::stopEffects();
    EXPECT_EQ(SoundPlayer::state().effectsPlayer, nullptr);
}

}  // namespace
