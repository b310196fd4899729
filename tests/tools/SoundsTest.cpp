// The game's sounds as built, played through the game's own players: tunes
// that loop without a gap or a jump at one loudness, effects that start and
// stop in silence and sit under them; and the loudness measure they are
// levelled with.
#include <gtest/gtest.h>

#include <cmath>

#include "Compilers.h"
#include "Data.h"
#include "Loudness.h"
#include "Sound.h"
#include "javax/microedition/media/Manager.h"
#include "javax/microedition/media/PlayerImplMP3.h"
#include "platform/MidiSynth.h"
#include "support/AudioTestSupport.h"
#include "support/Subprocess.h"

namespace {

namespace fs = std::filesystem;
using content::Sound;
using content::fromDb;
using content::toDb;

constexpr std::int32_t kTunes[] = {0x10014, 0x20000, 0x20001, 0x30000};
constexpr std::int32_t kFinale = 0x30008;

Sound tone(double hz, double amplitude, double seconds, int channels) {
    Sound s;
    s.channels = channels;
    const auto frames = static_cast<std::size_t>(seconds * s.rate);
    for (std::size_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) s.samples.push_back(static_cast<float>(amplitude * std::sin(2 * M_PI * hz * static_cast<double>(f) / s.rate)));
    return s;
}

Sound then(Sound a, const Sound& b) {
    a.samples.insert(a.samples.end(), b.samples.begin(), b.samples.end());
    return a;
}

std::vector<std::uint8_t> entry(std::int32_t id) {
    static const content::DataSet data = content::DataSet::load(RESOURCE_DIR);
    const auto e = data.entry(id);
    return {e.begin(), e.end()};
}

// Plays a sound the way the game does (the player made for its content
// type) into a recording output; returns what each pass played.
std::vector<Sound> play(const std::vector<std::uint8_t>& bytes, const std::string& type, int loops) {
    audiotest::Recording recording;
    auto stream = audiotest::streamOf(bytes);
    auto player = javax::microedition::media::Manager::createPlayer(stream, type);
    player->setLoopCount(loops);
    player->start();
    EXPECT_TRUE(javax::microedition::media::PlayerImplMP3::waitForPlayThreads(60000));
    std::vector<Sound> passes;
    for (const auto& line : recording.driver->lines()) {
        Sound s;
        s.rate = line->format().sampleRate;
        s.channels = line->format().channels;
        const auto pcm = line->written();
        for (std::size_t i = 0; i + 1 < pcm.size(); i += 2)
            s.samples.push_back(static_cast<float>(static_cast<std::int16_t>(pcm[i] | (pcm[i + 1] << 8))) / 32768.0f);
        passes.push_back(std::move(s));
    }
    return passes;
}

double rmsDb(const Sound& s, std::size_t firstFrame, std::size_t frames) {
    double sum = 0;
    const auto n = frames * static_cast<std::size_t>(s.channels);
    for (std::size_t i = 0; i < n; ++i) sum += static_cast<double>(s.samples[firstFrame * static_cast<std::size_t>(s.channels) + i]) * s.samples[firstFrame * static_cast<std::size_t>(s.channels) + i];
    return 10 * std::log10(std::max(sum / static_cast<double>(n), 1e-20));
}

TEST(Loudness, MeasuresKnownSignals) {
    struct Case {
        const char* what;
        Sound sound;
        double lufs;
        double within = 0.05;
    };
    const Sound sine = tone(997, 0.1, 5, 2);
    const Case cases[] = {
        // The weighting adds 0.69 dB at 997 Hz, which the scale takes off
        // again: a 0.1 sine on both speakers is -20. At 4 kHz it adds
        // 3.97 dB, at 60 Hz it takes 2.90 dB off (the standard's filter).
        {"stereo sine", sine, -20.0},
        {"mono sine, played on both speakers", tone(997, 0.1, 5, 1), -20.0},
        // Blocks across the change count at their mean: a little under.
        {"silence after it is gated out", then(sine, tone(997, 0, 5, 2)), -20.0, 0.2},
        {"a part 20 dB quieter is gated out", then(sine, tone(997, 0.01, 5, 2)), -20.0, 0.2},
        {"the weighting lifts the treble", tone(4000, 0.1, 5, 2), -16.72},
        {"and lowers the deep bass", tone(60, 0.1, 5, 2), -23.59},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NEAR(content::measureLoudness(c.sound).integrated, c.lufs, c.within);
    }
    EXPECT_NEAR(content::measureLoudness(then(sine, tone(997, 0, 5, 2))).maxMomentary, -20.0, 0.1);
    EXPECT_LT(content::measureLoudness(tone(997, 0, 1, 2)).integrated, -100);

    EXPECT_NEAR(content::seamStepDb(sine), 0.0, 0.1);
    EXPECT_NEAR(content::seamStepDb(then(tone(997, 0.1, 1, 2), tone(997, 0.01, 1, 2))), 20.0, 0.1);
    EXPECT_GT(content::bandShares(tone(100, 0.1, 1, 1))[0], 0.8);
    EXPECT_GT(content::bandShares(tone(700, 0.1, 1, 1))[1], 0.6);
    EXPECT_GT(content::bandShares(tone(6000, 0.1, 1, 1))[2], 0.8);
}

// A tune renders to a whole number of bars whose end runs on into its start
// (what still sounds after the last bar is folded into the first), at the
// music's loudness, peaks limited, and to the same samples every time.
TEST(Tunes, RenderOneSeamlessPassAtTheMusicsLoudness) {
    const auto font = platform::MidiSynth::findSoundFont();
    ASSERT_TRUE(font.has_value());
    // Two bars at 240 beats a minute; the last note lasts to the bar line.
    const auto midi = content::readFile(fs::path(TEST_DATA_DIR) / "media/tune.mid");
    const Sound pass = content::renderTune(midi, *font, -18, -1.5);
    EXPECT_EQ(pass.frames(), 2u * 44100);
    EXPECT_NEAR(content::measureLoudness(pass).integrated, -18, 0.1);
    EXPECT_LE(pass.peak(), fromDb(-1.5) + 1e-6);
    double steepest = 0;
    for (std::size_t i = pass.samples.size() - 882; i + 2 < pass.samples.size(); ++i)
        steepest = std::max(steepest, static_cast<double>(std::fabs(pass.samples[i + 2] - pass.samples[i])));
    for (int c = 0; c < 2; ++c) EXPECT_LT(std::fabs(pass.samples[c] - pass.samples[pass.samples.size() - 2 + c]), 2 * steepest);
    EXPECT_EQ(content::renderTune(midi, *font, -18, -1.5).samples, pass.samples);
    // Louder than its peaks allow: the limiter would be heard.
    EXPECT_THROW(content::renderTune(midi, *font, -3, -1.5), content::ContentError);
}

// Each pass is the whole tune: 60 to 120 s of sound, never a silent
// stretch, no gap at either end (the encoder's padding is trimmed), below
// full scale, with bass, middle and treble all present; the passes follow
// each other without a jump in loudness; the four tunes are equally loud.
TEST(Tunes, LoopThroughTheGamesPlayerGaplessAtOneLoudness) {
    std::vector<double> loudness;
    for (std::int32_t id : kTunes) {
        SCOPED_TRACE(content::hexId(id));
        const auto bytes = entry(id);
        const auto passes = play(bytes, "audio/mpeg", 3);
        ASSERT_EQ(passes.size(), 3u);
        const Sound& pass = passes[0];
        EXPECT_EQ(pass.samples, passes[1].samples);
        EXPECT_EQ(pass.samples, passes[2].samples);
        EXPECT_EQ(pass.channels, 2);
        EXPECT_GE(pass.seconds(), 60.0);
        EXPECT_LE(pass.seconds(), 120.0);
        EXPECT_LT(pass.peak(), fromDb(-0.5));
        const std::size_t second = static_cast<std::size_t>(pass.rate);
        for (std::size_t f = 0; f + second <= pass.frames(); f += second) EXPECT_GT(rmsDb(pass, f, second), -40) << f / second << " s";
        const std::size_t edge = static_cast<std::size_t>(pass.rate) / 200;  // 5 ms
        EXPECT_GT(rmsDb(pass, 0, edge), -50);
        EXPECT_GT(rmsDb(pass, pass.frames() - edge, edge), -50);
        EXPECT_LT(content::seamLoudnessStep(pass), 3.0);
        EXPECT_LT(content::seamStepDb(pass), 10.0);
        for (double share : content::bandShares(pass)) EXPECT_GT(share, 0.05);
        loudness.push_back(content::measureLoudness(pass).integrated);
    }
    const auto [quietest, loudest] = std::minmax_element(loudness.begin(), loudness.end());
    EXPECT_LE(*loudest - *quietest, 1.0);
}

// Each effect plays once: short (the finale reveal under 3 s), starting and
// ending within 1 % of silence, its loudest moment under the music but
// not lost beneath it, and none a copy of another.
TEST(Effects, ShortCleanAndUnderTheMusic) {
    const double music = content::measureLoudness(content::decodeSound(entry(kTunes[0]))).integrated;
    struct Heard {
        std::int32_t id;
        double seconds;
        std::array<double, 3> bands;
    };
    std::vector<Heard> heard;
    for (std::int32_t id = 0x30001; id <= kFinale; ++id) {
        SCOPED_TRACE(content::hexId(id));
        const auto passes = play(entry(id), "audio/wav", 1);
        ASSERT_EQ(passes.size(), 1u);
        const Sound& s = passes[0];
        EXPECT_LT(s.seconds(), id == kFinale ? 3.0 : 1.0);
        EXPECT_LT(std::fabs(s.samples.front()), 0.01);
        EXPECT_LT(std::fabs(s.samples.back()), 0.01);
        EXPECT_LT(s.peak(), fromDb(-1));
        const double loudest = content::measureLoudness(s).maxMomentary;
        EXPECT_LT(loudest, music);
        EXPECT_GT(loudest, music - 10);
        heard.push_back({id, s.seconds(), content::bandShares(s)});
    }
    for (std::size_t a = 0; a < heard.size(); ++a) {
        for (std::size_t b = a + 1; b < heard.size(); ++b) {
            double bandsApart = 0;
            for (int k = 0; k < 3; ++k) bandsApart = std::max(bandsApart, std::fabs(heard[a].bands[k] - heard[b].bands[k]));
            const bool sameLength = std::fabs(heard[a].seconds - heard[b].seconds) < 0.1 * heard[a].seconds;
            EXPECT_FALSE(sameLength && bandsApart < 0.05) << content::hexId(heard[a].id) << " and " << content::hexId(heard[b].id);
        }
    }
}

// The diagnostics tool plays a tune three times back to back through the
// mixer: three passes' worth of sound, give or take 2 %. The mixer is paced
// at about 40 times real time; should the decoder fall behind, the mixer
// plays silence meanwhile, so sounding frames are counted, not the span.
TEST(Tunes, ToolLoopsATuneThreeTimes) {
    const std::int32_t id = 0x30000;  // the shortest tune
    const std::string dir = testsupport::makeTempDir("tune-loops");
    const fs::path mp3 = fs::path(dir) / "tune.mp3", raw = fs::path(dir) / "mixed.raw";
    content::writeFile(mp3, entry(id));
    const double pass = content::decodeSound(entry(id)).seconds();
    testsupport::ProcessOptions o;
    o.timeoutMs = 120000;
    o.env = {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", raw.string()}, {"SDL_DISKAUDIODELAY", "1"}};
    const auto r = testsupport::runProcess(TARVOKIN_TOOL, {"play", mp3.string(), "audio/mpeg", "--loops", "3"}, o);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const auto bytes = content::readFile(raw);
    std::size_t sounding = 0;
    for (std::size_t i = 0; i + 3 < bytes.size(); i += 4)
        if (bytes[i] | bytes[i + 1] | bytes[i + 2] | bytes[i + 3]) ++sounding;
    const double played = static_cast<double>(sounding) / 44100;  // 16-bit stereo at the device's rate
    EXPECT_NEAR(played, 3 * pass, 0.02 * 3 * pass);
    fs::remove_all(dir);
}

}  // namespace
