// Tunes: a Standard MIDI File rendered with FluidSynth into one pass of a
// seamless loop, levelled to the music's common loudness.
//
// The pass is a whole number of bars. What still sounds after its last bar
// (releases, reverb) is mixed into its first bars, as it would sound when
// the pass follows itself, so the join has neither a gap nor a step.
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

#include "Compilers.h"
#include "Loudness.h"
#include "platform/MidiSequence.h"

namespace content {

namespace {

constexpr int kRate = 44100;
constexpr double kTailSeconds = 6;    // FluidR3's longest releases and the reverb die away well within this
constexpr double kMaxReductionDb = 4;  // beyond this the limiter would be heard

std::string oneDecimal(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

void quietLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
    });
}

class Synth {
public:
    explicit Synth(const fs::path& soundFont) {
        quietLibrary();
        settings_ = new_fluid_settings();
        fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
        fluid_settings_setint(settings_, "synth.cpu-cores", 1);  // one thread: the same samples every run
        fluid_settings_setnum(settings_, "synth.gain", 0.5);
        synth_ = new_fluid_synth(settings_);
        if (!synth_ || fluid_synth_sfload(synth_, soundFont.c_str(), 1) == FLUID_FAILED)
            fail("cannot load the soundfont " + soundFont.string());
    }
    ~Synth() {
        if (synth_) delete_fluid_synth(synth_);
        delete_fluid_settings(settings_);
    }
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

    void send(const platform::MidiEvent& e) {
        const int channel = e.status & 0x0F;
        switch (e.status & 0xF0) {
            case 0x80: fluid_synth_noteoff(synth_, channel, e.data1); break;
            case 0x90:
                if (e.data2 == 0) fluid_synth_noteoff(synth_, channel, e.data1);
                else fluid_synth_noteon(synth_, channel, e.data1, e.data2);
                break;
            case 0xB0: fluid_synth_cc(synth_, channel, e.data1, e.data2); break;
            case 0xC0: fluid_synth_program_change(synth_, channel, e.data1); break;
            case 0xD0: fluid_synth_channel_pressure(synth_, channel, e.data1); break;
            case 0xE0: fluid_synth_pitch_bend(synth_, channel, e.data1 | (e.data2 << 7)); break;
            default: break;  // meta events and sysex change no sound here
        }
    }

    // Renders until the stereo buffer holds `frames` frames.
    void renderTo(Sound& out, std::size_t frames) {
        std::vector<float> left(512), right(512);
        while (out.frames() < frames) {
            const int n = static_cast<int>(std::min<std::size_t>(512, frames - out.frames()));
            fluid_synth_write_float(synth_, n, left.data(), 0, 1, right.data(), 0, 1);
            for (int i = 0; i < n; ++i) out.samples.insert(out.samples.end(), {left[i], right[i]});
        }
    }

private:
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

// Ticks to frames, following the tempo changes.
class TempoMap {
public:
    explicit TempoMap(const platform::MidiSequence& seq) : seq_(seq) {
        for (const auto& e : seq.events())
            if (e.isMeta(platform::MidiSequence::kMetaTempo) && e.payload.size() == 3)
                changes_.push_back({e.tick, (e.payload[0] << 16) | (e.payload[1] << 8) | e.payload[2]});
    }
    std::size_t frameAt(std::int64_t tick) const {
        double micros = 0;
        std::int64_t at = 0, tempo = platform::MidiSequence::kDefaultTempo;
        for (const auto& [when, value] : changes_) {
            if (when >= tick) break;
            micros += static_cast<double>(seq_.ticksToMicros(when - at, tempo));
            at = when;
            tempo = value;
        }
        micros += static_cast<double>(seq_.ticksToMicros(tick - at, tempo));
        return static_cast<std::size_t>(std::llround(micros * kRate / 1e6));
    }

private:
    const platform::MidiSequence& seq_;
    std::vector<std::pair<std::int64_t, std::int64_t>> changes_;
};

// The pass ends at the bar line after the last note ends (a note ending a
// hair after a bar line ends on it).
std::int64_t loopTicks(const platform::MidiSequence& seq) {
    std::int64_t bar = 4LL * seq.resolution(), lastNote = 0;
    bool barKnown = false;
    for (const auto& e : seq.events()) {
        if (!barKnown && e.isMeta(0x58) && e.payload.size() >= 2 && e.payload[1] < 8) {
            bar = 4LL * seq.resolution() * e.payload[0] / (1 << e.payload[1]);
            barKnown = true;
        }
        const int kind = e.status & 0xF0;
        if (kind == 0x80 || kind == 0x90) lastNote = std::max(lastNote, e.tick);
    }
    if (bar <= 0 || lastNote == 0) fail("the tune has no notes or no bar length");
    const std::int64_t hair = bar / 32;
    return std::max<std::int64_t>(1, (lastNote - hair + bar - 1) / bar) * bar;
}

// A look-ahead peak limiter over the pass as a loop (indices wrap, so the
// gain agrees across the seam): the gain dips smoothly over a few
// milliseconds before a peak and recovers over 100 ms. Returns the deepest
// dip in dB.
double limitPeaks(Sound& pass, double ceiling) {
    const std::size_t n = pass.frames(), look = kRate / 200;  // 5 ms
    std::vector<double> need(n);
    bool any = false;
    for (std::size_t f = 0; f < n; ++f) {
        const double p = std::max(std::fabs(pass.samples[2 * f]), std::fabs(pass.samples[2 * f + 1]));
        need[f] = p > ceiling ? ceiling / p : 1.0;
        any = any || p > ceiling;
    }
    if (!any) return 0;
    auto at = [&](const std::vector<double>& v, std::ptrdiff_t i) {
        const auto len = static_cast<std::ptrdiff_t>(n);
        return v[static_cast<std::size_t>(((i % len) + len) % len)];
    };
    // Every gain within `look` of a peak is at most the peak's; averaging
    // over half that keeps the peak's own gain at most what it needs.
    std::vector<double> held(n), gain(n);
    for (std::size_t f = 0; f < n; ++f) {
        if (need[f] >= 1.0) continue;
        for (std::ptrdiff_t d = -static_cast<std::ptrdiff_t>(look); d <= static_cast<std::ptrdiff_t>(look); ++d) {
            const auto i = static_cast<std::size_t>((static_cast<std::ptrdiff_t>(f + n) + d) % static_cast<std::ptrdiff_t>(n));
            if (held[i] == 0 || need[f] < held[i]) held[i] = need[f];
        }
    }
    for (double& h : held)
        if (h == 0) h = 1.0;
    const std::ptrdiff_t half = static_cast<std::ptrdiff_t>(look / 2);
    double sum = 0;
    for (std::ptrdiff_t d = -half; d <= half; ++d) sum += at(held, d);
    for (std::size_t f = 0; f < n; ++f) {
        gain[f] = sum / static_cast<double>(2 * half + 1);
        sum += at(held, static_cast<std::ptrdiff_t>(f) + half + 1) - at(held, static_cast<std::ptrdiff_t>(f) - half);
    }
    // Recovery: falls at once, rises slowly; two rounds so the start of the
    // pass follows on from its end.
    const double rise = 1 - std::exp(-1.0 / (0.1 * kRate));
    double g = 1.0, deepest = 1.0;
    for (int round = 0; round < 2; ++round) {
        for (std::size_t f = 0; f < n; ++f) {
            g = gain[f] < g ? gain[f] : g + (gain[f] - g) * rise;
            if (round == 1) {
                pass.samples[2 * f] = static_cast<float>(pass.samples[2 * f] * g);
                pass.samples[2 * f + 1] = static_cast<float>(pass.samples[2 * f + 1] * g);
                deepest = std::min(deepest, g);
            }
        }
    }
    return -toDb(deepest);
}

}  // namespace

Sound renderTune(const std::vector<std::uint8_t>& midi, const fs::path& soundFont, double loudness, double peakCeiling) {
    const auto seq = platform::MidiSequence::parse(midi);
    if (seq.resolution() <= 0) fail("the tune must use tempo-based timing");
    const TempoMap tempo(seq);
    const std::size_t loopFrames = tempo.frameAt(loopTicks(seq));
    Synth synth(soundFont);
    Sound render;
    render.channels = 2;
    render.rate = kRate;
    for (const auto& e : seq.events()) {
        synth.renderTo(render, tempo.frameAt(e.tick));
        synth.send(e);
    }
    synth.renderTo(render, loopFrames + static_cast<std::size_t>(kTailSeconds * kRate));

    Sound pass = render;
    pass.samples.resize(loopFrames * 2);
    for (std::size_t i = loopFrames * 2; i < render.samples.size(); ++i) pass.samples[i % (loopFrames * 2)] += render.samples[i];

    // Level, limit the few peaks that would pass the ceiling, level again
    // (limiting takes a little loudness away).
    for (int round = 0; round < 3; ++round) {
        const double measured = measureLoudness(pass).integrated;
        if (measured < -70) fail("the tune is silent");
        pass.scale(fromDb(loudness - measured));
        const double reduction = limitPeaks(pass, fromDb(peakCeiling));
        if (reduction > kMaxReductionDb)
            fail("at " + oneDecimal(loudness) + " LUFS the tune's peaks stand " + oneDecimal(reduction) + " dB over the ceiling of " +
                 oneDecimal(peakCeiling) + " dBFS: soften its loudest notes");
    }
    return pass;
}

}  // namespace content
