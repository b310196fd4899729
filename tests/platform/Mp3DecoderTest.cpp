#include "platform/Mp3Decoder.h"

#include <gtest/gtest.h>

#include "platform/SampledAudio.h"
#include "support/AudioTestSupport.h"

namespace {

using namespace audiotest;
using platform::PcmFormat;

platform::SoundBytes load(const char* name) {
    return std::make_shared<const std::vector<std::uint8_t>>(readFile(std::string(TEST_DATA_DIR) + "/media/" + name));
}

// Decodes to the end; returns the frame count.
std::int64_t framesOf(platform::PcmSource& source) {
    std::vector<std::uint8_t> buffer(4096);
    std::int64_t bytes = 0;
    for (int n; (n = source.read(buffer.data(), 4096)) != -1;) bytes += n;
    return bytes / source.format().frameBytes();
}

TEST(Mp3Decoder, DecodesLayerThreeAtItsOwnRateAndLayout) {
    struct Case {
        const char* file;
        PcmFormat format;
        double slack;  // frames
    };
    // Both were encoded from the same 2-second phrase (make-media.sh). The
    // encoder's delay and padding are trimmed, so the first comes back
    // exactly; the second was resampled by the encoder on the way.
    for (const Case& c : {Case{"tune.mp3", {44100, 2}, 0}, Case{"tune-mono22k.mp3", {22050, 1}, 1152 * 2}}) {
        SCOPED_TRACE(c.file);
        auto source = platform::SampledAudio::open(load(c.file));
        EXPECT_EQ(source->format(), c.format);
        std::int64_t frames = framesOf(*source);
        EXPECT_NEAR(static_cast<double>(frames), 2.0 * c.format.sampleRate, c.slack);
        EXPECT_EQ(source->sourceBytesRead(), static_cast<std::int64_t>(load(c.file)->size()));
    }
}

TEST(Mp3Decoder, MpegDataWrappedInWaveDecodes) {
    auto mp3 = load("tune.mp3");
    auto file = wavFile(fmtBody(0x55, 2, 44100, 1, 0), *mp3);
    auto source = platform::SampledAudio::open(std::make_shared<const std::vector<std::uint8_t>>(file));
    EXPECT_EQ(source->format(), (PcmFormat{44100, 2}));
    EXPECT_GT(framesOf(*source), 80000);
}

TEST(Mp3Decoder, BadBytesAreNoAudioOrEndEarly) {
    auto mp3 = load("tune.mp3");
    std::vector<std::uint8_t> garbage(5000);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 7 + 3);
    for (const auto& bad : {std::vector<std::uint8_t>{}, garbage, std::vector<std::uint8_t>(mp3->begin(), mp3->begin() + 3)}) {
        try {
            platform::SampledAudio::open(std::make_shared<const std::vector<std::uint8_t>>(bad));
            ADD_FAILURE() << "opened " << bad.size() << " bad bytes";
        } catch (const platform::UnsupportedAudioFile& e) {
            EXPECT_STREQ(e.what(), "could not get audio input stream from input stream");
        }
    }

    // Cut in half, or with a stretch of noise in the middle: plays about
    // what is intact and ends.
    std::vector<std::uint8_t> half(mp3->begin(), mp3->begin() + mp3->size() / 2);
    auto source = platform::SampledAudio::open(std::make_shared<const std::vector<std::uint8_t>>(half));
    EXPECT_NEAR(static_cast<double>(framesOf(*source)), 44100.0, 4000);
    std::vector<std::uint8_t> holed(*mp3);
    for (std::size_t i = holed.size() / 3; i < holed.size() / 2; ++i) holed[i] = static_cast<std::uint8_t>(i * 31);
    source = platform::SampledAudio::open(std::make_shared<const std::vector<std::uint8_t>>(holed));
    EXPECT_LT(framesOf(*source), 2 * 44100 + 2304);
}

}  // namespace
