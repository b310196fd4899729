#include "javax/microedition/media/PlayerImpl.h"

#include <gtest/gtest.h>

#include "javax/microedition/media/Manager.h"
#include "platform/MidiSynth.h"
#include "support/AudioTestSupport.h"

namespace {

using namespace audiotest;
using namespace javax::microedition::media;

std::vector<std::uint8_t> tune() { return readFile(std::string(TEST_DATA_DIR) + "/media/tune.mid"); }

std::shared_ptr<PlayerImpl> midiPlayer(const std::vector<std::uint8_t>& file) {
    auto stream = streamOf(file);
    return std::dynamic_pointer_cast<PlayerImpl>(Manager::createPlayer(stream, "audio/mid"));
}

class PlayerImplTest : public ::testing::Test {
protected:
    ~PlayerImplTest() override {
        platform::MidiSynth::resetConfig();
        PlayerImpl::resetClassState();
    }
    static bool haveSoundFont() { return platform::MidiSynth::findSoundFont().has_value(); }
};

TEST_F(PlayerImplTest, FailedStartsPrintAStackTraceAndReportStarted) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        bool noSoundFont;
        const char* trace;
    };
    const std::vector<Case> cases = {
        {"no soundfont", tune(), true,
         "javax.sound.midi.MidiUnavailableException: no General MIDI soundfont found (install "
         "fluid-soundfont-gm)\n\tat javax.sound.midi.MidiUnavailableException\n"},
        {"not MIDI", std::vector<std::uint8_t>(100, 0x4D), false,
         "javax.sound.midi.InvalidMidiDataException: MIDI file: no MThd header\n"
         "\tat javax.sound.midi.InvalidMidiDataException\n"},
        {"empty", {}, false,
         "javax.sound.midi.InvalidMidiDataException: MIDI file: no MThd header\n"
         "\tat javax.sound.midi.InvalidMidiDataException\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.noSoundFont) platform::MidiSynth::config().soundFontPaths = {"/nonexistent/none.sf2"};
        Recording rec;
        Captured io;
        auto p = midiPlayer(c.file);
        p->start();
        EXPECT_EQ(p->getState(), Player::STARTED);
        EXPECT_EQ(io.err(), c.trace);
        EXPECT_EQ(io.out().find("setLoopCount"), std::string::npos);
        EXPECT_TRUE(rec.driver->lines().empty());
        p->stop();
        EXPECT_EQ(p->getState(), Player::PREFETCHED);
        platform::MidiSynth::resetConfig();
    }
}

TEST_F(PlayerImplTest, DataIsWhatTheStreamHasAvailable) {
    std::istringstream stream("MThd-and-more");
    stream.get();  // one byte already consumed
    PlayerImpl p(stream, "ignored");
    EXPECT_EQ(std::string(p.midiData().begin(), p.midiData().end()), "Thd-and-more");
}

TEST_F(PlayerImplTest, PlaysItsPassesAndTheEndReleasesThePlay) {
    if (!haveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont installed";
    Recording rec;
    Captured io;
    auto p = midiPlayer(tune());
    p->setLoopCount(2);
    p->start();
    ASSERT_TRUE(waitFor([&] { return p->runningPlayCount() == 0; }, 20000));
    auto lines = rec.driver->lines();
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_TRUE(waitFor([&] { return !lines[0]->isOpen(); }));
    // Two passes of the tune, rendered to the sample (in 512-frame blocks).
    double tuneFrames = platform::MidiSequence::parse(tune()).microsecondLength() * 44100.0 / 1e6;
    EXPECT_NEAR(static_cast<double>(lines[0]->written().size()) / 4, 2 * tuneFrames, 2);
    EXPECT_EQ(p->getState(), Player::STARTED);  // the end leaves the state alone
    EXPECT_NE(io.out().find("Player::public void setLoopCount(int loops)\n"), std::string::npos);
}

TEST_F(PlayerImplTest, StopReleasesEveryPlayAndItsSynthesizer) {
    if (!haveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont installed";
    Recording rec;
    Captured io;
    auto p = midiPlayer(tune());
    p->setLoopCount(-1);
    p->start();
    p->start();  // the first play sounds on
    ASSERT_TRUE(waitFor([&] { return p->runningPlayCount() == 2; }));
    p->stop();
    EXPECT_EQ(p->getState(), Player::PREFETCHED);
    EXPECT_EQ(p->runningPlayCount(), 0);
    auto lines = rec.driver->lines();
    ASSERT_EQ(lines.size(), 2u);
    for (auto& line : lines) EXPECT_FALSE(line->isOpen());
}

TEST_F(PlayerImplTest, TuneLastsItsLengthOnTheDevice) {
    if (!haveSoundFont()) GTEST_SKIP() << "no General MIDI soundfont installed";
    // Real time: a slow synthesizer thread would leave gaps at ten times.
    DiskAudio disk(23);
    Captured io;
    auto p = midiPlayer(tune());
    p->start();
    ASSERT_TRUE(waitFor([&] { return p->runningPlayCount() == 0; }, 20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto out = disk.finish();
    auto loud = [](std::int16_t s) { return std::abs(s) > 64; };
    auto first = std::find_if(out.begin(), out.end(), loud);
    auto last = std::find_if(out.rbegin(), out.rend(), loud);
    ASSERT_NE(first, out.end());
    double seconds = static_cast<double>(std::distance(first, last.base())) / 2 / 44100;
    EXPECT_NEAR(seconds, platform::MidiSequence::parse(tune()).microsecondLength() / 1e6, 0.1);
}

}  // namespace
