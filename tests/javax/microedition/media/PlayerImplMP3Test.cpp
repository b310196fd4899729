#include "javax/microedition/media/PlayerImplMP3.h"

#include <gtest/gtest.h>

#include "javax/microedition/media/Manager.h"
#include "javax/microedition/media/control/VolumeControl.h"
#include "support/AudioTestSupport.h"

namespace {

using namespace audiotest;
using namespace javax::microedition::media;

constexpr int kLevel = 1000;

// Players made by a test, closed when it ends however it ends, so that a
// failing test leaves no endless play behind.
std::vector<std::shared_ptr<Player>>& madePlayers() {
    static std::vector<std::shared_ptr<Player>> all;
    return all;
}

std::shared_ptr<Player> sampledPlayer(const std::vector<std::uint8_t>& file) {
    auto stream = streamOf(file);
    auto p = Manager::createPlayer(stream, "audio/wav");
    madePlayers().push_back(p);
    return p;
}

void setLevel(Player& p, int level) {
    std::dynamic_pointer_cast<control::VolumeControl>(p.getControl("VolumeControl"))->setLevel(level);
}

bool finished() { return PlayerImplMP3::waitForPlayThreads(10000); }

class PlayerImplMP3Test : public ::testing::Test {
protected:
    ~PlayerImplMP3Test() override {
        for (auto& p : madePlayers()) p->stop();
        madePlayers().clear();
        EXPECT_TRUE(finished());
        PlayerImplMP3::resetClassState();
    }
};

// Sum of the recorded samples over one pass of a DC file of `frames`
// stereo frames at kLevel.
std::int64_t passes(const std::vector<std::int16_t>& out, int frames) {
    return sum(out) / (2LL * frames * kLevel);
}

TEST_F(PlayerImplMP3Test, LoopCountGivesPassesAndIsUsedUp) {
    const int frames = 2205;  // 50 ms
    struct Case {
        int loops;
        std::int64_t passes;
    };
    for (Case c : {Case{0, 1}, Case{1, 1}, Case{3, 3}}) {
        SCOPED_TRACE(c.loops);
        DiskAudio disk;
        auto p = sampledPlayer(dcWav(frames, kLevel));
        p->setLoopCount(c.loops);
        p->start();
        ASSERT_TRUE(finished());
        EXPECT_EQ(p->getState(), Player::PREFETCHED);
        // A finished count of 3 reads 1: the next start plays once.
        p->start();
        ASSERT_TRUE(finished());
        auto out = disk.finish();
        EXPECT_EQ(sum(out), 2LL * frames * kLevel * (c.passes + 1));
    }
}

// Each pass follows the tail of the one before on the output instead of
// sounding over it: three passes of a 0.8 s level give three passes' worth
// of sounding samples and never twice the level.
TEST_F(PlayerImplMP3Test, LoopPassesFollowEachOtherWithoutOverlap) {
    const int frames = 35280;
    DiskAudio disk;
    auto p = sampledPlayer(dcWav(frames, kLevel));
    p->setLoopCount(3);
    p->start();
    ASSERT_TRUE(finished());
    auto out = disk.finish();
    const double expected = 3.0 * frames * 2;
    EXPECT_NEAR(static_cast<double>(std::count(out.begin(), out.end(), kLevel)), expected, 0.02 * expected);
    EXPECT_EQ(std::count_if(out.begin(), out.end(), [](int s) { return s != 0 && s != kLevel; }), 0);
}

TEST_F(PlayerImplMP3Test, EndlessLoopPlaysUntilStopped) {
    const int frames = 2205;
    DiskAudio disk(23);
    auto p = sampledPlayer(dcWav(frames, kLevel));
    p->setLoopCount(-1);
    p->start();
    // Wait until several passes have been mixed, then stop.
    ASSERT_TRUE(waitFor([&] { return passes(disk.peek(), frames) >= 4; }));
    p->stop();
    EXPECT_EQ(p->getState(), Player::CLOSED);
    ASSERT_TRUE(finished());
    EXPECT_EQ(p->getState(), Player::PREFETCHED);
    auto out = disk.finish();
    EXPECT_GE(passes(out, frames), 4);
}

TEST_F(PlayerImplMP3Test, VolumeIsAppliedAtStartAndZeroIsSilence) {
    const int frames = 4410;
    DiskAudio disk;
    auto p = sampledPlayer(dcWav(frames, kLevel));
    setLevel(*p, 0);
    p->start();
    ASSERT_TRUE(finished());
    setLevel(*p, 50);
    p->start();
    ASSERT_TRUE(finished());
    auto out = disk.finish();
    EXPECT_EQ(sum(out), 2LL * frames * kLevel / 2);
    EXPECT_EQ(std::count(out.begin(), out.end(), kLevel), 0);
}

TEST_F(PlayerImplMP3Test, MusicAndEffectSoundTogether) {
    DiskAudio disk(23);  // real time, so that neither play thread falls behind
    auto music = sampledPlayer(dcWav(22050, 1000));
    auto effect = sampledPlayer(dcWav(2205, 30, 22050, 1));  // resampled to the device
    music->start();
    // The effect comes in once the tune is sounding.
    ASSERT_TRUE(waitFor([&] { return sum(disk.peek()) > 0; }));
    effect->start();
    ASSERT_TRUE(finished());
    auto out = disk.finish();
    EXPECT_GT(std::count_if(out.begin(), out.end(), [](int s) { return s > 1000 && s < 1060; }), 4000);
    EXPECT_NEAR(static_cast<double>(sum(out)), 2.0 * (22050 * 1000 + 4410 * 30), 2.0 * 30 * 64);
}

TEST_F(PlayerImplMP3Test, StateSequenceAndTraces) {
    Recording rec;
    Captured io;
    auto p = sampledPlayer(dcWav(100, 1));
    EXPECT_EQ(p->getState(), Player::UNREALIZED);
    p->realize();
    EXPECT_EQ(p->getState(), Player::REALIZED);
    p->prefetch();
    EXPECT_EQ(p->getState(), Player::PREFETCHED);
    p->deallocate();
    EXPECT_EQ(p->getState(), Player::REALIZED);
    p->setLoopCount(2);
    p->start();
    ASSERT_TRUE(finished());
    EXPECT_EQ(p->getState(), Player::PREFETCHED);
    p->close();
    EXPECT_EQ(p->getState(), Player::CLOSED);
    p->start();  // a closed player plays again
    ASSERT_TRUE(finished());
    EXPECT_EQ(p->getState(), Player::PREFETCHED);
    EXPECT_EQ(rec.driver->lines().size(), 3u);
    EXPECT_EQ(io.out(),
              "[EMU class Opened: javax.microedition.media.Manager]\n"
              "[EMU Player: Loading Mp3]\n"
              "[EMU Player::public void realize()]\n"
              "[EMU Player::public void prefetch()]\n"
              "[EMU Player::public void deallocate()]\n"
              "[EMU Player::public void setLoopCount(int loops)]\n"
              "[EMU Player::public void start()]\n"
              "[EMU *** MP3 START]\n"
              "[EMU loop: 1 true]\n"
              "[EMU Player::public void start()]\n"
              "[EMU Player::stop()]\n"
              "[EMU Stop: ready for next play]\n"
              "[EMU *** MP3 START]\n"
              "[EMU ready for next play]\n"
              "[EMU Player::close()]\n"
              "[EMU Player::stop()]\n"
              "[EMU Player::public void start()]\n"
              "[EMU *** MP3 START]\n"
              "[EMU ready for next play]\n");
}

TEST_F(PlayerImplMP3Test, VolumeLevelBecomesLinearVolumeOrGain) {
    struct Case {
        int level;
        bool linear;
        float expected;
    };
    for (Case c : {Case{100, true, 1.0f}, Case{150, true, 1.5f}, Case{0, false, -80.0f}, Case{100, false, 0.0f},
                   Case{150, false, 3.5218f}}) {
        SCOPED_TRACE(c.level);
        Recording rec;
        rec.driver->linearVolume = c.linear;
        rec.driver->masterGain = !c.linear;
        auto p = sampledPlayer(dcWav(10, 1));
        setLevel(*p, c.level);
        p->start();
        ASSERT_TRUE(finished());
        auto line = rec.driver->lines().at(0);
        EXPECT_NEAR(c.linear ? line->volumeSet.load() : line->gainSet.load(), c.expected, 1e-3);
    }
}

TEST_F(PlayerImplMP3Test, UnusableDataGivesTracesAndSilence) {
    std::vector<std::uint8_t> huge = dcWav(10, 1);
    huge[24] = 0x00;  // sample rate 1,000,000,000
    huge[25] = 0xCA;
    huge[26] = 0x9A;
    huge[27] = 0x3B;
    std::vector<std::uint8_t> wide = pcmWav(8000, 200, 2, [](int, int) { return 1; });
    std::vector<std::uint8_t> cut = dcWav(10, 1);
    cut.resize(30);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        const char* loadTrace;   // null: loads
        const char* startTrace;  // after "MP3 Start Exception: "
    };
    const std::vector<Case> cases = {
        {"empty", {}, "could not get audio input stream from input stream", "no line for data of unknown format"},
        {"truncated header", cut,
         "WAVE file: fmt chunk of 10 bytes", "no line for data of unknown format"},
        {"absurd rate", huge, nullptr,
         "No line matching interface SourceDataLine supporting format PCM_SIGNED 1000000000 Hz, 16 bit, stereo, "
         "4 bytes/frame, little-endian is supported."},
        {"200 channels", wide, nullptr,
         "No line matching interface SourceDataLine supporting format PCM_SIGNED 8000 Hz, 16 bit, 200 channels, "
         "400 bytes/frame, little-endian is supported."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recording rec;
        Captured io;
        auto p = sampledPlayer(c.file);
        p->start();
        EXPECT_EQ(p->getState(), Player::STARTED);
        EXPECT_EQ(PlayerImplMP3::playThreadCount(), 0);
        EXPECT_TRUE(rec.driver->lines().empty());
        std::string expected = "[EMU class Opened: javax.microedition.media.Manager]\n[EMU Player: Loading Mp3]\n";
        if (c.loadTrace) expected += std::string("[EMU MP3 load exception: ") + c.loadTrace + "]\n";
        expected += "[EMU Player::public void start()]\n";
        expected += std::string("[EMU MP3 Start Exception: ") + c.startTrace + "]\n";
        EXPECT_EQ(io.out(), expected);
    }
}

TEST_F(PlayerImplMP3Test, EmptyPassDoesNotLoopForever) {
    Recording rec;
    auto p = sampledPlayer(dcWav(0, 1));
    p->setLoopCount(-1);
    p->start();
    ASSERT_TRUE(finished());
    EXPECT_EQ(p->getState(), Player::PREFETCHED);
    EXPECT_EQ(rec.driver->lines().size(), 1u);
}

TEST_F(PlayerImplMP3Test, SourceBeyondTheMarkLimitPlaysOnceAndNoMore) {
    Recording rec;
    Captured io;
    const int frames = static_cast<int>(PlayerImplMP3::kMarkLimit / 4) + 1000;
    auto p = sampledPlayer(dcWav(frames, 1));
    p->setLoopCount(2);
    p->start();
    ASSERT_TRUE(finished());
    EXPECT_EQ(p->getState(), Player::STARTED);  // the failed rewind ended the play
    p->start();
    ASSERT_TRUE(finished());
    auto lines = rec.driver->lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->written().size(), static_cast<std::size_t>(frames) * 4);
    EXPECT_TRUE(lines[1]->written().empty());
    EXPECT_NE(io.out().find("[EMU loop: 1 true]\n[EMU Player::public void start()]\n[EMU *** MP3 START]\n"),
              std::string::npos);
}

// Every new play must begin at the first sample, however stop() and the
// old play thread's last chunk interleave.
TEST_F(PlayerImplMP3Test, RapidStartStopNeverGarblesOrLeaks) {
    Recording rec;
    auto ramp = pcmWav(44100, 1, 20000, [](int f, int) { return f % 30000; });
    auto p = sampledPlayer(ramp);
    for (int i = 0; i < 1000; ++i) {
        p->start();
        if (i % 3 == 0) std::this_thread::yield();
        p->stop();
    }
    ASSERT_TRUE(finished());
    // PREFETCHED, or CLOSED when the last play had ended before its stop().
    EXPECT_NE(p->getState(), Player::STARTED);
    auto lines = rec.driver->lines();
    ASSERT_EQ(lines.size(), 1000u);
    for (auto& line : lines) {
        auto bytes = line->written();
        EXPECT_FALSE(line->isOpen());
        for (std::size_t i = 0; i + 1 < std::min<std::size_t>(bytes.size(), 64); i += 2)
            ASSERT_EQ(bytes[i] | (bytes[i + 1] << 8), static_cast<int>(i / 2));
    }
}

TEST_F(PlayerImplMP3Test, RapidStartStopThroughTheMixer) {
    DiskAudio disk;
    auto p = sampledPlayer(dcWav(4410, kLevel));
    for (int i = 0; i < 1000; ++i) {
        p->start();
        p->stop();
    }
    p->start();
    ASSERT_TRUE(finished());
    EXPECT_EQ(p->getState(), Player::PREFETCHED);
    EXPECT_GE(sum(disk.finish()), 2LL * 4410 * kLevel);
}

TEST_F(PlayerImplMP3Test, StopThenStartRightAwayKeepsTheNewPlay) {
    // The old thread finishing after the new start must not end the new
    // play or mark it prefetched.
    DiskAudio disk(23);
    auto p = sampledPlayer(dcWav(4410, kLevel));
    for (int i = 0; i < 5; ++i) {
        p->start();
        p->stop();
    }
    p->start();
    EXPECT_EQ(p->getState(), Player::STARTED);
    ASSERT_TRUE(finished());
    EXPECT_EQ(p->getState(), Player::PREFETCHED);
    // The last play is whole.
    EXPECT_GE(sum(disk.finish()), 2LL * 4410 * kLevel);
}

TEST(Manager, OnlyThreeExactTypesFromAStreamMakePlayers) {
    auto wav = dcWav(10, 1);
    struct Case {
        const char* type;
        bool player;
    };
    for (Case c : {Case{"audio/wav", true}, Case{"audio/mpeg", true}, Case{"audio/mid", true},
                   Case{"audio/midi", false}, Case{"audio/amr", false}, Case{"AUDIO/WAV", false},
                   Case{"audio/x-wav", false}, Case{"", false}}) {
        SCOPED_TRACE(c.type);
        auto stream = streamOf(wav);
        auto p = Manager::createPlayer(stream, c.type);
        EXPECT_EQ(p != nullptr, c.player);
        if (p) {
            EXPECT_EQ(p->getContentType(), "");
            EXPECT_EQ(p->getDuration(), 0);
            EXPECT_EQ(p->setMediaTime(1234), 0);
            EXPECT_FALSE(p->getControls().has_value());
            EXPECT_NE(p->getControl("VolumeControl"), nullptr);
            EXPECT_EQ(p->getControl("javax.microedition.media.control.VolumeControl"), nullptr);
        }
    }
    EXPECT_EQ(Manager::createPlayer(Manager::TONE_DEVICE_LOCATOR), nullptr);
    EXPECT_EQ(Manager::createPlayer(Manager::MIDI_DEVICE_LOCATOR), nullptr);
    EXPECT_FALSE(Manager::getSupportedContentTypes("http").has_value());
    auto v = std::dynamic_pointer_cast<control::VolumeControl>(
        sampledPlayer(wav)->getControl("VolumeControl"));
    EXPECT_EQ(v->setLevel(150), 150);
    EXPECT_EQ(v->getLevel(), 150);
    EXPECT_EQ(v->setLevel(-7), -7);
}

}  // namespace
