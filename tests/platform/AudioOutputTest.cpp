#include "platform/AudioOutput.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/Clock.h"
#include "platform/NoneAudio.h"
#include "support/AudioTestSupport.h"

namespace {

using namespace audiotest;
using platform::AudioOutput;
using platform::PcmFormat;

std::vector<std::uint8_t> dcPcm(int frames, int channels, int level) {
    std::vector<std::uint8_t> b;
    for (int i = 0; i < frames * channels; ++i) put16(b, level);
    return b;
}

// Writes in 4096-byte chunks as the players do, from `from` on, then
// drains and closes.
void play(platform::AudioLine& line, const std::vector<std::uint8_t>& pcm, std::size_t from = 0) {
    line.start();
    for (std::size_t at = from; at < pcm.size(); at += 4096)
        EXPECT_EQ(line.write(pcm.data() + at, static_cast<int>(std::min<std::size_t>(4096, pcm.size() - at))),
                  static_cast<int>(std::min<std::size_t>(4096, pcm.size() - at)));
    line.drain();
    line.close();
}

TEST(AudioOutput, LinesAreMixedIntoOneDeviceAtTheirVolume) {
    DiskAudio disk;
    auto music = AudioOutput::openLine({44100, 2});
    auto effect = AudioOutput::openLine({44100, 2});
    auto quiet = AudioOutput::openLine({44100, 2});
    quiet->setVolume(0.0f);
    effect->setVolume(0.5f);
    auto musicPcm = dcPcm(8820, 2, 1000), effectPcm = dcPcm(4410, 2, 60), quietPcm = dcPcm(4410, 2, 5000);
    // Some of each is queued before any line starts, so they must overlap.
    for (auto [line, pcm] : {std::pair{music.get(), &musicPcm}, {effect.get(), &effectPcm}, {quiet.get(), &quietPcm}})
        line->write(pcm->data(), 4096);
    std::thread a([&] { play(*music, musicPcm, 4096); });
    std::thread b([&] { play(*effect, effectPcm, 4096); });
    std::thread c([&] { play(*quiet, quietPcm, 4096); });
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(music->framesPlayed(), 8820);
    auto out = disk.finish();
    // Every frame of each line, exactly once, at its volume; some frames
    // hold both lines at the same time.
    EXPECT_EQ(sum(out), 2 * (8820 * 1000 + 4410 * 30));
    EXPECT_GT(std::count(out.begin(), out.end(), 1030), 0);
}

TEST(AudioOutput, OtherFormatsAreConvertedToTheDevice) {
    DiskAudio disk;
    // 22050 Hz mono and 6-channel 44100 Hz: a quarter second each.
    auto mono = AudioOutput::openLine({22050, 1});
    play(*mono, dcPcm(5512, 1, 2000));
    auto surround = AudioOutput::openLine({44100, 6});
    play(*surround, dcPcm(11025, 6, 300));
    auto out = disk.finish();
    // Resampling keeps the level and the length within a few frames.
    EXPECT_NEAR(static_cast<double>(sum(out)), 2.0 * (11025 * 2000 + 11025 * 300), 2.0 * 2000 * 64);
}

TEST(AudioOutput, WriterStaysWithinABufferOfWhatHasPlayed) {
    DiskAudio disk;
    auto line = AudioOutput::openLine({44100, 2});
    line->start();
    std::vector<std::uint8_t> chunk = dcPcm(1024, 2, 1);
    std::int64_t written = 0, worstAhead = 0;
    for (int i = 0; i < 40; ++i) {
        line->write(chunk.data(), 4096);
        written += 1024;
        worstAhead = std::max(worstAhead, written - line->framesPlayed());
    }
    EXPECT_LE(worstAhead * 4, line->bufferSize() + 4096);
    // Closing discards what is held and frees a blocked writer.
    std::thread writer([&] {
        for (int i = 0; i < 100; ++i)
            if (line->write(chunk.data(), 4096) == 0) break;
    });
    line->close();
    writer.join();
    EXPECT_FALSE(line->isOpen());
}

TEST(AudioOutput, PlayedOutLineSoundsToItsEndAfterItIsLetGo) {
    DiskAudio disk;
    auto line = AudioOutput::openLine({44100, 2});
    line->start();
    auto pcm = dcPcm(2000, 2, 100);
    line->write(pcm.data(), static_cast<int>(pcm.size()));
    line->closeWhenPlayedOut();
    ASSERT_TRUE(waitFor([&] { return !line->isOpen(); }));
    EXPECT_EQ(sum(disk.finish()), 2 * 2000 * 100);
}

TEST(AudioOutput, UnsupportedFormatsHaveNoLine) {
    Recording none;  // any driver applies the same limits
    for (PcmFormat f : {PcmFormat{0, 2}, PcmFormat{999, 1}, PcmFormat{400000, 2}, PcmFormat{44100, 0},
                        PcmFormat{44100, 9}}) {
        SCOPED_TRACE(f.describe());
        EXPECT_THROW(AudioOutput::openLine(f), platform::LineUnavailable);
        EXPECT_THROW(platform::NoneAudioDriver().openLine(f), platform::LineUnavailable);
    }
}

TEST(AudioOutput, SilentLinesTakeAsLongAsSoundWould) {
    platform::ManualClock clock;
    platform::Clock::install(&clock);
    auto line = platform::NoneAudioDriver().openLine({8000, 1});
    line->start();
    std::int64_t began = clock.nowMillis();
    auto pcm = dcPcm(8000, 1, 1);  // one second
    for (std::size_t at = 0; at < pcm.size(); at += 4096)
        line->write(pcm.data() + at, static_cast<int>(std::min<std::size_t>(4096, pcm.size() - at)));
    line->drain();
    EXPECT_NEAR(static_cast<double>(clock.nowMillis() - began), 1000.0, 25.0);
    EXPECT_EQ(line->framesPlayed(), 8000);
    platform::Clock::install(nullptr);
}

}  // namespace
