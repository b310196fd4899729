// Sound decoding speed as a multiple of real time on one core: MP3 through
// mpg123 and the WAV codings, beside memcpy of the same amount of PCM.
// Counter "x_realtime": seconds of sound produced per second of work.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "platform/SampledAudio.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The test data folder comes from the build, so the benchmark runs from
// any working directory.
platform::SoundBytes testFile(const char* name) {
    auto path = std::filesystem::path(TEST_DATA_DIR) / "media" / name;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("audio_bench: cannot read " + path.string());
    return std::make_shared<const Bytes>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void put16(Bytes& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Ten seconds at 44100 Hz stereo in the given coding; sample values are
// pseudo-random, which costs a decoder the same as music.
platform::SoundBytes wav(int tag, int blockAlign, int bits, int framesPerBlock) {
    const int rate = 44100, channels = 2;
    Bytes data;
    std::uint32_t x = 12345;
    const std::size_t size = tag == 1 ? static_cast<std::size_t>(rate) * 10 * 4
                                      : static_cast<std::size_t>(rate) * 10 / framesPerBlock * blockAlign;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        data.push_back(static_cast<std::uint8_t>(x >> 24));
    }
    if (tag != 1) {
        // Valid block headers: predictor 0 / step index within range.
        for (std::size_t at = 0; at + blockAlign <= data.size(); at += blockAlign) {
            if (tag == 2) data[at] = data[at + 1] = 0;
            else data[at + 2] = data[at + 6] = 40;
        }
    }
    Bytes fmt;
    put16(fmt, tag);
    put16(fmt, channels);
    put32(fmt, rate);
    put32(fmt, static_cast<std::uint32_t>(rate * blockAlign / std::max(framesPerBlock, 1)));
    put16(fmt, blockAlign);
    put16(fmt, bits);
    if (tag != 1) {
        put16(fmt, 2);
        put16(fmt, framesPerBlock);
    }
    Bytes file = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put32(file, static_cast<std::uint32_t>(fmt.size()));
    file.insert(file.end(), fmt.begin(), fmt.end());
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    put32(file, static_cast<std::uint32_t>(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    return std::make_shared<const Bytes>(std::move(file));
}

void decode(benchmark::State& state, const platform::SoundBytes& file) {
    std::vector<std::uint8_t> buffer(4096);
    std::int64_t bytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        auto source = platform::SampledAudio::open(file);
        std::int64_t pass = 0;
        for (int n; (n = source->read(buffer.data(), 4096)) != -1;) pass += n;
        benchmark::DoNotOptimize(buffer.data());
        bytes += pass;
        seconds += static_cast<double>(pass) / source->format().frameBytes() / source->format().sampleRate;
    }
    state.SetBytesProcessed(bytes);
    state.counters["x_realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}

void BM_DecodeMp3(benchmark::State& state) { decode(state, testFile("tune.mp3")); }
void BM_DecodeMp3Mono22k(benchmark::State& state) { decode(state, testFile("tune-mono22k.mp3")); }
void BM_DecodeWavPcm16(benchmark::State& state) { decode(state, wav(1, 4, 16, 1)); }
void BM_DecodeWavImaAdpcm(benchmark::State& state) { decode(state, wav(0x11, 2048, 4, 2041)); }
void BM_DecodeWavMsAdpcm(benchmark::State& state) { decode(state, wav(2, 2048, 4, 2036)); }

// The peer: copying the PCM that the 2-second stereo MP3 decodes to.
void BM_MemcpyPcm(benchmark::State& state) {
    const std::size_t size = 2 * 44100 * 4;
    Bytes from(size, 1), to(size);
    double seconds = 0;
    for (auto _ : state) {
        for (std::size_t at = 0; at < size; at += 4096) std::memcpy(&to[at], &from[at], std::min<std::size_t>(4096, size - at));
        benchmark::DoNotOptimize(to.data());
        seconds += 2.0;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(size));
    state.counters["x_realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_DecodeMp3)->UseRealTime();
BENCHMARK(BM_DecodeMp3Mono22k)->UseRealTime();
BENCHMARK(BM_DecodeWavPcm16)->UseRealTime();
BENCHMARK(BM_DecodeWavImaAdpcm)->UseRealTime();
BENCHMARK(BM_DecodeWavMsAdpcm)->UseRealTime();
BENCHMARK(BM_MemcpyPcm)->UseRealTime();
