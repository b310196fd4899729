// Sampled sound as the content compiler shapes and judges it: float samples
// (full scale 1.0), interleaved, with the measures a mix is checked by.
//
//   Sound.cpp     the buffer, WAV writing, decoding with the game's decoders
//   Loudness.cpp  loudness, seam and band measures (Loudness.h)
#pragma once

#include <cstdint>
#include <vector>

namespace content {

struct Sound {
    int rate = 44100;
    int channels = 1;
    std::vector<float> samples;

    std::size_t frames() const { return samples.size() / static_cast<std::size_t>(channels); }
    double seconds() const { return static_cast<double>(frames()) / rate; }
    // Largest absolute sample.
    float peak() const;
    void scale(double gain);
};

// 16-bit PCM WAV; samples are rounded and clipped to full scale.
std::vector<std::uint8_t> wav16(const Sound& sound);

// A WAV or MP3 file decoded by the game's own decoders. Throws the
// decoder's error for bytes it does not take.
Sound decodeSound(const std::vector<std::uint8_t>& bytes);

double toDb(double linear);
double fromDb(double db);

}  // namespace content
