#include "Loudness.h"

#include <algorithm>
#include <cmath>

namespace content {

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;
    double run(double x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages (a high shelf for the head, a high pass),
// derived for any rate from their analogue prototypes.
std::array<Biquad, 2> kWeighting(int rate) {
    const double fs = rate;
    double k = std::tan(M_PI * 1681.974450955533 / fs);
    const double vh = std::pow(10.0, 3.999843853973347 / 20.0), vb = std::pow(vh, 0.4996667741545416);
    double q = 0.7071752369554196;
    double a0 = 1 + k / q + k * k;
    Biquad shelf{(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
    k = std::tan(M_PI * 38.13547087602444 / fs);
    q = 0.5003270373238773;
    a0 = 1 + k / q + k * k;
    Biquad highPass{1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
    return {shelf, highPass};
}

double blockLoudness(double meanSquare) { return meanSquare > 0 ? -0.691 + 10 * std::log10(meanSquare) : -200; }

}  // namespace

Loudness measureLoudness(const Sound& sound) {
    const std::size_t frames = sound.frames(), channels = static_cast<std::size_t>(sound.channels);
    const std::size_t step = static_cast<std::size_t>(sound.rate) / 10;  // 100 ms
    const std::size_t blockSteps = 4;
    // Squared K-weighted samples summed over the channels, per 100 ms step.
    std::vector<double> stepEnergy((std::max(frames, blockSteps * step) + step - 1) / step, 0.0);
    for (std::size_t c = 0; c < channels; ++c) {
        auto filters = kWeighting(sound.rate);
        for (std::size_t f = 0; f < frames; ++f) {
            const double y = filters[1].run(filters[0].run(sound.samples[f * channels + c]));
            stepEnergy[f / step] += y * y;
        }
    }
    const double weight = channels == 1 ? 2.0 : 1.0;
    std::vector<double> blocks;
    for (std::size_t i = 0; i + blockSteps <= stepEnergy.size(); ++i) {
        double e = 0;
        for (std::size_t j = 0; j < blockSteps; ++j) e += stepEnergy[i + j];
        blocks.push_back(weight * e / static_cast<double>(blockSteps * step));
    }
    Loudness out;
    auto gatedMean = [&](double gate) {
        double sum = 0;
        int n = 0;
        for (double z : blocks) {
            if (blockLoudness(z) > gate) {
                sum += z;
                ++n;
            }
        }
        return n ? sum / n : 0.0;
    };
    for (double z : blocks) out.maxMomentary = std::max(out.maxMomentary, blockLoudness(z));
    const double relativeGate = blockLoudness(gatedMean(-70)) - 10;
    out.integrated = blockLoudness(gatedMean(std::max(-70.0, relativeGate)));
    return out;
}

double seamStepDb(const Sound& sound, double ms) {
    const std::size_t n = std::min(sound.frames() / 2, static_cast<std::size_t>(ms * sound.rate / 1000));
    const std::size_t channels = static_cast<std::size_t>(sound.channels), frames = sound.frames();
    double head = 0, tail = 0;
    for (std::size_t f = 0; f < n; ++f) {
        for (std::size_t c = 0; c < channels; ++c) {
            head += static_cast<double>(sound.samples[f * channels + c]) * sound.samples[f * channels + c];
            const double t = sound.samples[(frames - n + f) * channels + c];
            tail += t * t;
        }
    }
    if (head == 0 && tail == 0) return 0;
    return std::fabs(10 * std::log10(std::max(head, 1e-20) / std::max(tail, 1e-20)));
}

double seamLoudnessStep(const Sound& sound) {
    const std::size_t n = std::min(sound.frames() / 2, static_cast<std::size_t>(sound.rate) * 4 / 10) * static_cast<std::size_t>(sound.channels);
    Sound head = sound, tail = sound;
    head.samples.assign(sound.samples.begin(), sound.samples.begin() + static_cast<std::ptrdiff_t>(n));
    tail.samples.assign(sound.samples.end() - static_cast<std::ptrdiff_t>(n), sound.samples.end());
    return std::fabs(measureLoudness(head).maxMomentary - measureLoudness(tail).maxMomentary);
}

std::array<double, 3> bandShares(const Sound& sound) {
    const std::size_t channels = static_cast<std::size_t>(sound.channels), frames = sound.frames();
    auto coefficient = [&](double hz) { return 1 - std::exp(-2 * M_PI * hz / sound.rate); };
    const double low = coefficient(250), high = coefficient(2000);
    std::array<double, 3> energy{};
    for (std::size_t c = 0; c < channels; ++c) {
        double lowState = 0, midState = 0;
        for (std::size_t f = 0; f < frames; ++f) {
            const double x = sound.samples[f * channels + c];
            lowState += low * (x - lowState);
            midState += high * (x - midState);  // everything under 2000 Hz
            const double bass = lowState, middle = midState - lowState, treble = x - midState;
            energy[0] += bass * bass;
            energy[1] += middle * middle;
            energy[2] += treble * treble;
        }
    }
    const double total = energy[0] + energy[1] + energy[2];
    if (total > 0)
        for (double& e : energy) e /= total;
    return energy;
}

}  // namespace content
