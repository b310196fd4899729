// Sound effects synthesised from short descriptions: a few layered
// oscillators with pitch sweeps and linear envelopes, 22050 Hz mono 16-bit.
#include <algorithm>
#include <cmath>

#include "Compilers.h"

namespace content {

namespace {

constexpr int kRate = 22050;

void le(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> synthEffect(const std::string& name, const Value& def) {
    const Value& parts = need(def, "parts");
    std::vector<double> mix;
    std::uint32_t noise = 0x1234567u;  // fixed seed: the same bytes every build
    for (const auto& p : parts.as_array()) {
        const std::string wave = stringAt(p, "wave");
        const double from = numberAt(p, "from", 440), to = numberAt(p, "to", from);
        const double ms = numberAt(p, "ms", 100), start = numberAt(p, "start", 0);
        const double volume = numberAt(p, "volume", 0.5);
        const double attack = numberAt(p, "attack", 2), release = numberAt(p, "release", ms / 2);
        if (ms <= 0 || ms > 5000 || volume < 0 || volume > 1) fail(p, name + ": length 1..5000 ms and volume 0..1");
        const int first = static_cast<int>(start * kRate / 1000), n = static_cast<int>(ms * kRate / 1000);
        if (mix.size() < static_cast<std::size_t>(first + n)) mix.resize(static_cast<std::size_t>(first + n), 0.0);
        double phase = 0;
        double held = 0;
        for (int i = 0; i < n; ++i) {
            const double t = static_cast<double>(i) / n;
            // Exponential sweep: even steps in pitch.
            const double freq = from * std::pow(to / from, t);
            phase += freq / kRate;
            phase -= std::floor(phase);
            double s;
            if (wave == "sine") s = std::sin(2 * M_PI * phase);
            else if (wave == "square") s = phase < 0.5 ? 0.6 : -0.6;
            else if (wave == "triangle") s = 4 * std::fabs(phase - 0.5) - 1;
            else if (wave == "saw") s = 0.7 * (2 * phase - 1);
            else if (wave == "noise") {
                // Sample-and-hold noise, its rate following the pitch.
                if (phase < freq / kRate) {
                    noise = noise * 1103515245u + 12345u;
                    held = static_cast<double>((noise >> 16) & 0x7FFF) / 16384.0 - 1.0;
                }
                s = held;
            } else fail(p, name + ": wave is sine, square, triangle, saw or noise");
            const double msAt = t * ms;
            double env = 1.0;
            if (msAt < attack) env = msAt / attack;
            if (ms - msAt < release) env = std::min(env, (ms - msAt) / release);
            mix[static_cast<std::size_t>(first + i)] += s * env * volume;
        }
    }
    std::vector<std::uint8_t> out;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(mix.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    le(out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    le(out, 16, 4);
    le(out, 1, 2);  // PCM
    le(out, 1, 2);  // mono
    le(out, kRate, 4);
    le(out, kRate * 2, 4);
    le(out, 2, 2);
    le(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    le(out, dataBytes, 4);
    for (double s : mix) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767);
        le(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)), 2);
    }
    return out;
}

}  // namespace content
