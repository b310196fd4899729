#include "Sound.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/SampledAudio.h"

namespace content {

namespace {

void le(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

float Sound::peak() const {
    float p = 0;
    for (float s : samples) p = std::max(p, std::fabs(s));
    return p;
}

void Sound::scale(double gain) {
    for (float& s : samples) s = static_cast<float>(s * gain);
}

std::vector<std::uint8_t> wav16(const Sound& sound) {
    std::vector<std::uint8_t> out;
    const auto dataBytes = static_cast<std::uint32_t>(sound.samples.size() * 2);
    const auto channels = static_cast<std::uint32_t>(sound.channels), rate = static_cast<std::uint32_t>(sound.rate);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    le(out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    le(out, 16, 4);
    le(out, 1, 2);  // PCM
    le(out, channels, 2);
    le(out, rate, 4);
    le(out, rate * channels * 2, 4);
    le(out, channels * 2, 2);
    le(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    le(out, dataBytes, 4);
    for (float s : sound.samples) {
        const long v = std::lround(std::clamp(static_cast<double>(s), -1.0, 1.0) * 32767);
        le(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)), 2);
    }
    return out;
}

Sound decodeSound(const std::vector<std::uint8_t>& bytes) {
    auto source = platform::SampledAudio::open(std::make_shared<const std::vector<std::uint8_t>>(bytes));
    Sound sound;
    sound.rate = source->format().sampleRate;
    sound.channels = source->format().channels;
    std::vector<std::uint8_t> buffer(16384);
    for (int n; (n = source->read(buffer.data(), static_cast<int>(buffer.size()))) > 0;) {
        for (int i = 0; i + 1 < n; i += 2)
            sound.samples.push_back(static_cast<float>(static_cast<std::int16_t>(buffer[i] | (buffer[i + 1] << 8))) / 32768.0f);
    }
    return sound;
}

double toDb(double linear) { return 20.0 * std::log10(std::max(linear, 1e-10)); }
double fromDb(double db) { return std::pow(10.0, db / 20.0); }

}  // namespace content
