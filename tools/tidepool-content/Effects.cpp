// Sound effects synthesised from short descriptions, 44100 Hz mono 16-bit.
// Each part is one voice: an oscillator (or noise) with an exponential pitch
// sweep, optional vibrato, FM and filters, under a smooth envelope (rise,
// exponential decay, fade). The mix is levelled like every other effect:
// to a common loudness over its loudest 400 ms, held under a peak ceiling,
// with short fades at both ends so it starts and stops in silence.
#include <algorithm>
#include <cmath>

#include "Compilers.h"
#include "Loudness.h"

namespace content {

namespace {

constexpr int kRate = 44100;

// Smooth 0..1 ramp.
double rise(double x) { return x <= 0 ? 0 : x >= 1 ? 1 : 0.5 - 0.5 * std::cos(M_PI * x); }

// Softens the jump of a naive square or saw wave (polynomial band-limited
// step), which would otherwise alias into a hiss.
double blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

struct Filter {
    enum Kind { LowPass, HighPass } kind;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double run(double x, double hz) {
        hz = std::clamp(hz, 10.0, kRate * 0.45);
        const double w = 2 * M_PI * hz / kRate, alpha = std::sin(w) / (2 * 0.7071), c = std::cos(w);
        const double a0 = 1 + alpha;
        const double b1 = (kind == LowPass ? 1 - c : -(1 + c)) / a0;
        const double b0 = (kind == LowPass ? (1 - c) / 2 : (1 + c) / 2) / a0;
        const double y = b0 * x + b1 * x1 + b0 * x2 - (-2 * c / a0) * y1 - ((1 - alpha) / a0) * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

void addPart(std::vector<double>& mix, const std::string& name, const Value& p, std::uint32_t seed) {
    const std::string wave = stringAt(p, "wave");
    const double from = numberAt(p, "from", 440), to = numberAt(p, "to", from);
    const double ms = numberAt(p, "ms", 100), start = numberAt(p, "start", 0);
    const double volume = numberAt(p, "volume", 0.5);
    const double attack = numberAt(p, "attack", 2), decay = numberAt(p, "decay", 0), release = numberAt(p, "release", ms / 4);
    const double vibratoHz = numberAt(p, "vibrato", 0), vibratoCents = numberAt(p, "vibrato_depth", 0);
    const double fmRatio = numberAt(p, "fm_ratio", 0), fmIndex = numberAt(p, "fm_index", 0);
    const double lowFrom = numberAt(p, "lowpass", 0), lowTo = numberAt(p, "lowpass_to", lowFrom);
    const double highFrom = numberAt(p, "highpass", 0), highTo = numberAt(p, "highpass_to", highFrom);
    if (ms <= 0 || ms > 3000 || start < 0 || start > 3000 || volume < 0 || volume > 1)
        fail(p, name + ": length 1..3000 ms, start 0..3000 ms and volume 0..1");
    if (from <= 0 || to <= 0 || attack < 0 || decay < 0 || release < 0 || lowFrom < 0 || highFrom < 0)
        fail(p, name + ": pitches are positive; times and filters are not negative");
    if (wave != "sine" && wave != "triangle" && wave != "square" && wave != "saw" && wave != "noise")
        fail(p, name + ": wave is sine, triangle, square, saw or noise");

    const auto first = static_cast<std::size_t>(start * kRate / 1000), n = static_cast<std::size_t>(ms * kRate / 1000);
    if (mix.size() < first + n) mix.resize(first + n, 0.0);
    Filter low{Filter::LowPass}, high{Filter::HighPass};
    std::uint32_t noise = seed;  // fixed per part: the same bytes every build
    double phase = 0, fmPhase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n), msAt = t * ms;
        double freq = from * std::pow(to / from, t);  // even steps in pitch
        if (vibratoHz > 0) freq *= std::pow(2.0, vibratoCents / 1200 * std::sin(2 * M_PI * vibratoHz * msAt / 1000));
        const double dt = freq / kRate;
        double env = attack > 0 ? rise(msAt / attack) : 1.0;
        if (decay > 0 && msAt > attack) env *= std::exp(-(msAt - attack) / decay);
        if (release > 0) env *= rise((ms - msAt) / release);
        double s;
        if (wave == "noise") {
            noise = noise * 1664525u + 1013904223u;
            s = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
        } else if (wave == "sine") {
            s = std::sin(2 * M_PI * phase + fmIndex * env * std::sin(2 * M_PI * fmPhase));
        } else if (wave == "triangle") {
            s = 4 * std::fabs(phase - 0.5) - 1;
        } else if (wave == "square") {
            s = (phase < 0.5 ? 1.0 : -1.0) + blep(phase, dt) - blep(std::fmod(phase + 0.5, 1.0), dt);
            s *= 0.6;
        } else {
            s = 0.7 * (2 * phase - 1 - blep(phase, dt));
        }
        if (lowFrom > 0) s = low.run(s, lowFrom * std::pow(lowTo / lowFrom, t));
        if (highFrom > 0) s = high.run(s, highFrom * std::pow(highTo / highFrom, t));
        mix[first + i] += s * env * volume;
        phase += dt;
        phase -= std::floor(phase);
        fmPhase += dt * fmRatio;
        fmPhase -= std::floor(fmPhase);
    }
}

}  // namespace

std::vector<std::uint8_t> synthEffect(const std::string& name, const Value& def, const Value& level) {
    std::vector<double> mix;
    std::uint32_t seed = 0x2545F491u;
    for (const auto& p : need(def, "parts").as_array()) addPart(mix, name, p, seed += 0x9E3779B9u);
    if (mix.empty()) fail(def, name + ": no parts");

    // Short fades so the sound starts and stops in silence: quick at the
    // start, where the attack is, gentler at the end.
    const std::size_t fadeIn = std::min(mix.size() / 2, static_cast<std::size_t>(kRate / 1000));
    const std::size_t fadeOut = std::min(mix.size() / 2, static_cast<std::size_t>(numberAt(level, "fade", 3) * kRate / 1000));
    for (std::size_t i = 0; i < fadeIn; ++i) mix[i] *= rise(static_cast<double>(i) / static_cast<double>(fadeIn));
    for (std::size_t i = 0; i < fadeOut; ++i) mix[mix.size() - 1 - i] *= rise(static_cast<double>(i) / static_cast<double>(fadeOut));

    Sound sound;
    sound.rate = kRate;
    sound.samples.assign(mix.begin(), mix.end());
    // Loudness first; a short, sharp sound stops at the peak ceiling instead.
    const double target = numberAt(level, "loudness", -20) + numberAt(def, "gain", 0);
    const double measured = measureLoudness(sound).maxMomentary;
    if (measured < -70) fail(def, name + ": the effect is silent");
    const double ceiling = fromDb(numberAt(level, "peak", -3));
    sound.scale(std::min(fromDb(target - measured), ceiling / sound.peak()));
    return wav16(sound);
}

}  // namespace content
