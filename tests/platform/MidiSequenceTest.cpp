#include "platform/MidiSequence.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "platform/MidiSequencer.h"
#include "support/AudioTestSupport.h"

namespace {

using platform::MidiEvent;
using platform::MidiSequence;
using platform::MidiSequencer;
using Bytes = std::vector<std::uint8_t>;

void be32(Bytes& b, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Bytes smf(int format, int division, const std::vector<Bytes>& tracks, int declared = -1) {
    Bytes b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<std::uint8_t>(format)};
    int n = declared < 0 ? static_cast<int>(tracks.size()) : declared;
    b.push_back(static_cast<std::uint8_t>(n >> 8));
    b.push_back(static_cast<std::uint8_t>(n));
    b.push_back(static_cast<std::uint8_t>(division >> 8));
    b.push_back(static_cast<std::uint8_t>(division));
    for (const Bytes& t : tracks) {
        b.insert(b.end(), {'M', 'T', 'r', 'k'});
        be32(b, static_cast<std::uint32_t>(t.size()));
        b.insert(b.end(), t.begin(), t.end());
    }
    return b;
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

Bytes with(Bytes events, const Bytes& tail = kEnd) {
    events.insert(events.end(), tail.begin(), tail.end());
    return events;
}

// Two notes a quarter apart at 96 ticks per quarter; the second track
// changes the tempo to 250000 us per quarter after the first quarter.
Bytes twoTracks() {
    Bytes notes = with({0x00, 0x90, 60, 100,   // note on
                        0x60, 64, 100,         // running status, tick 96
                        0x60, 0x80, 60, 0,     // tick 192
                        0x00, 64, 0});         // running status note off
    Bytes tempo = with({0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90});  // tick 96: 250000
    return smf(1, 96, {notes, tempo});
}

TEST(MidiSequence, MergesTracksAndFollowsTempo) {
    Bytes file = twoTracks();
    MidiSequence s = MidiSequence::parse(file);
    EXPECT_EQ(s.trackCount(), 2);
    EXPECT_EQ(s.resolution(), 96);
    EXPECT_EQ(s.tickLength(), 192);
    std::vector<std::int64_t> ticks;
    for (const MidiEvent& e : s.events()) ticks.push_back(e.tick);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{0, 96, 96, 192, 192}));
    EXPECT_EQ(s.events()[1].data1, 64);       // running status kept the note-on
    EXPECT_TRUE(s.events()[2].isMeta(MidiSequence::kMetaTempo));  // track order at equal ticks
    // First quarter at 500000 us, second at 250000 us.
    EXPECT_EQ(s.microsecondLength(), 750000);

    // SMPTE: 25 frames x 40 ticks = 1000 ticks a second.
    Bytes smpte = smf(0, (static_cast<std::uint8_t>(-25) << 8) | 40, {with({0x00, 0x90, 60, 1, 0x87, 0x68, 0x80, 60, 0})});
    EXPECT_EQ(MidiSequence::parse(smpte).microsecondLength(), 1000000);
}

TEST(MidiSequence, OwnTestFileParses) {
    Bytes file = audiotest::readFile(std::string(TEST_DATA_DIR) + "/media/tune.mid");
    MidiSequence s = MidiSequence::parse(file);
    // Sixteen quavers at 240 crotchets a minute, and a little more.
    EXPECT_NEAR(static_cast<double>(s.microsecondLength()), 2e6, 2e4);
}

TEST(MidiSequence, BrokenFilesAreRefused) {
    Bytes good = twoTracks();
    Bytes truncated(good.begin(), good.end() - 5);
    struct Case {
        const char* name;
        Bytes file;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"not MIDI", Bytes(40, 'x')},
        {"header too short", {'M', 'T', 'h', 'd', 0, 0, 0, 2, 0, 0, 0, 1, 0, 96}},
        {"format 3", smf(3, 96, {kEnd})},
        {"division 0", smf(0, 0, {kEnd})},
        {"SMPTE 23 fps", smf(0, (static_cast<std::uint8_t>(-23) << 8) | 4, {kEnd})},
        {"track past the end", truncated},
        {"data byte without status", smf(0, 96, {with({0x00, 60, 100})})},
        {"status inside data", smf(0, 96, {with({0x00, 0x90, 60, 0x90})})},
        {"event cut short", smf(0, 96, {{0x00, 0x90, 60}})},
        {"five-byte delta", smf(0, 96, {with({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1})})},
        {"meta longer than track", smf(0, 96, {{0x00, 0xFF, 0x01, 0x7F, 'a'}})},
        {"system status in a file", smf(0, 96, {with({0x00, 0xF2, 1, 1})})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(MidiSequence::parse(c.file), platform::InvalidMidiData);
    }
    // Fewer tracks than declared, no end-of-track and unknown chunks are
    // tolerated.
    Bytes lenient = smf(0, 96, {{0x00, 0x90, 60, 1}}, 3);
    lenient.insert(lenient.end(), {'X', 'Y', 'Z', 'W', 0, 0, 0, 1, 0});
    EXPECT_EQ(MidiSequence::parse(lenient).events().size(), 1u);
}

// Lets time pass instantly and records events with their time.
class Recorder final : public platform::MidiReceiver {
public:
    void send(const MidiEvent& e) override {
        std::lock_guard lock(mutex);
        if ((e.status & 0xF0) == 0x90) noteOnTimes.push_back(now);
    }
    bool advance(std::int64_t micros, const std::atomic<bool>& running) override {
        std::lock_guard lock(mutex);
        now += micros;
        return running;
    }
    std::size_t notes() {
        std::lock_guard lock(mutex);
        return noteOnTimes.size();
    }
    std::mutex mutex;
    std::int64_t now = 0;
    std::vector<std::int64_t> noteOnTimes;
};

struct Ended {
    std::mutex mutex;
    std::condition_variable cv;
    int count = 0;
    void arrive() {
        std::lock_guard lock(mutex);
        ++count;
        cv.notify_all();
    }
    bool wait(int expected) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(5), [&] { return count >= expected; });
    }
};

std::shared_ptr<MidiSequencer> sequencerFor(const Bytes& file, int loops, std::shared_ptr<Recorder> to, Ended& ended) {
    auto seq = MidiSequencer::getDefault();
    seq->open();
    seq->setLoopCount(loops);
    seq->setSequence(std::make_shared<const MidiSequence>(MidiSequence::parse(file)));
    seq->setReceiver(to);
    seq->addMetaEventListener([&ended](const MidiEvent& e) {
        if (e.isMeta(MidiSequence::kMetaEndOfTrack)) ended.arrive();
    });
    return seq;
}

TEST(MidiSequencer, LoopCountIsTheNumberOfPasses) {
    for (auto [loops, passes] : {std::pair{0, 1}, {1, 1}, {3, 3}}) {
        SCOPED_TRACE(loops);
        auto to = std::make_shared<Recorder>();
        Ended ended;
        auto seq = sequencerFor(twoTracks(), loops, to, ended);
        seq->start();
        ASSERT_TRUE(ended.wait(1));
        EXPECT_FALSE(seq->isRunning());
        EXPECT_EQ(to->notes(), 2u * passes);
        // Each pass starts 750 ms after the previous (tempo resets).
        EXPECT_EQ(to->noteOnTimes.back(), 750000 * (passes - 1) + 500000);
        EXPECT_EQ(to->now, 750000 * passes);
        seq->close();
        EXPECT_EQ(ended.count, 1);
    }
}

TEST(MidiSequencer, EndlessLoopRunsUntilStoppedAndEmptySequenceDoesNotSpin) {
    auto to = std::make_shared<Recorder>();
    Ended ended;
    auto seq = sequencerFor(twoTracks(), -1, to, ended);
    seq->start();
    ASSERT_TRUE(audiotest::waitFor([&] { return to->notes() >= 20; }));
    seq->stop();
    EXPECT_FALSE(seq->isRunning());
    EXPECT_EQ(ended.count, 0);  // stopping is no end of track

    Ended emptyEnded;
    auto empty = sequencerFor(smf(0, 96, {kEnd}), -1, to, emptyEnded);
    empty->start();
    EXPECT_TRUE(emptyEnded.wait(1));
}

TEST(MidiSequencer, ListenerMayCloseTheSequencerFromItsThread) {
    auto to = std::make_shared<Recorder>();
    Ended ended;
    auto seq = sequencerFor(twoTracks(), 1, to, ended);
    std::weak_ptr<MidiSequencer> weak = seq;
    seq->addMetaEventListener([weak](const MidiEvent& e) {
        if (auto s = weak.lock(); s && e.isMeta(MidiSequence::kMetaEndOfTrack)) s->close();
    });
    seq->start();
    ASSERT_TRUE(ended.wait(1));
    ASSERT_TRUE(audiotest::waitFor([&] { return !seq->isOpen(); }));
    EXPECT_THROW(seq->start(), platform::AudioError);  // closed
    seq.reset();  // no join of a thread that let itself go
}

}  // namespace
