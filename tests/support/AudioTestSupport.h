// Helpers for sound tests: WAV files built in memory, SDL's disk audio
// driver as a recorder of everything the mixer played, a driver whose
// lines record what they were given, and trace capture.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/SharedState.h"
#include "platform/AudioOutput.h"
#include "platform/Console.h"

namespace audiotest {

inline void put16(std::vector<std::uint8_t>& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
inline void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void putTag(std::vector<std::uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

// A RIFF WAVE file around a fmt chunk body and data bytes.
inline std::vector<std::uint8_t> wavFile(const std::vector<std::uint8_t>& fmtBody,
                                         const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> b;
    putTag(b, "RIFF");
    put32(b, static_cast<std::uint32_t>(4 + 8 + fmtBody.size() + 8 + data.size()));
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    put32(b, static_cast<std::uint32_t>(fmtBody.size()));
    b.insert(b.end(), fmtBody.begin(), fmtBody.end());
    putTag(b, "data");
    put32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

inline std::vector<std::uint8_t> fmtBody(int tag, int channels, std::uint32_t rate, int blockAlign, int bits,
                                         const std::vector<std::uint8_t>& extra = {}, bool withCbSize = false) {
    std::vector<std::uint8_t> f;
    put16(f, tag);
    put16(f, channels);
    put32(f, rate);
    put32(f, rate * static_cast<std::uint32_t>(blockAlign));
    put16(f, blockAlign);
    put16(f, bits);
    if (withCbSize || !extra.empty()) {
        put16(f, static_cast<int>(extra.size()));
        f.insert(f.end(), extra.begin(), extra.end());
    }
    return f;
}

// 16-bit PCM WAV of `frames` frames whose every sample of channel c is
// value(frame, c).
inline std::vector<std::uint8_t> pcmWav(int rate, int channels, int frames,
                                        const std::function<int(int, int)>& value) {
    std::vector<std::uint8_t> data;
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) put16(data, value(f, c));
    return wavFile(fmtBody(1, channels, static_cast<std::uint32_t>(rate), 2 * channels, 16), data);
}

// A constant level: the mixer adds lines, so the sum of the recorded
// samples divided by the level counts the frames that played.
inline std::vector<std::uint8_t> dcWav(int frames, int level, int rate = 44100, int channels = 2) {
    return pcmWav(rate, channels, frames, [=](int, int) { return level; });
}

inline std::istringstream streamOf(const std::vector<std::uint8_t>& bytes) {
    return std::istringstream(std::string(bytes.begin(), bytes.end()));
}

inline std::vector<std::uint8_t> readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Polls until done() or the timeout; returns done().
inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// SDL's disk driver as the audio device: everything mixed lands in a file.
// A period of 1024 frames takes `periodMs` (23 is real time); the default
// runs about ten times faster, which suits writers that are not paced by
// anything but the device.
class DiskAudio {
public:
    explicit DiskAudio(int periodMs = 2) {
        static std::atomic<int> serial{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tidepool-audio-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".raw");
        platform::AudioOutput::install(nullptr);
        platform::AudioOutput::shutdown();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", std::to_string(periodMs).c_str(), 1);
        EXPECT_EQ(platform::AudioOutput::driverName(), "sdl:disk");
    }
    ~DiskAudio() {
        platform::AudioOutput::shutdown();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }

    // Closes the device and returns every sample it played (stereo 44100).
    std::vector<std::int16_t> finish() {
        platform::AudioOutput::shutdown();
        return peek();
    }

    // What has reached the file so far, with the device still running.
    std::vector<std::int16_t> peek() const {
        std::vector<std::uint8_t> raw = readFile(path_);
        std::vector<std::int16_t> s(raw.size() / 2);
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<std::int16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
        return s;
    }

private:
    std::filesystem::path path_;
};

inline std::int64_t sum(const std::vector<std::int16_t>& s) {
    std::int64_t total = 0;
    for (auto v : s) total += v;
    return total;
}

// A line that records what it is given and plays nothing; writes return at
// once, so a play runs as fast as it decodes.
class RecordingLine final : public platform::AudioLine {
public:
    RecordingLine(const platform::PcmFormat& f, bool linear, bool gain) : format_(f), linear_(linear), gain_(gain) {}

    const platform::PcmFormat& format() const override { return format_; }
    void start() override { started = true; }
    void stop() override { started = false; }
    int write(const std::uint8_t* data, int length) override {
        std::lock_guard lock(mutex);
        if (!open) return 0;
        bytes.insert(bytes.end(), data, data + length);
        return length;
    }
    void drain() override {}
    void close() override {
        std::lock_guard lock(mutex);
        open = false;
    }
    void closeWhenPlayedOut() override { close(); }
    bool isOpen() const override {
        std::lock_guard lock(mutex);
        return open;
    }
    bool hasVolumeControl() const override { return linear_; }
    void setVolume(float v) override { volumeSet = v; }
    float volume() const override { return volumeSet; }
    bool hasGainControl() const override { return gain_; }
    void setGainDb(float db) override { gainSet = db; }
    int bufferSize() const override { return 8192; }
    std::int64_t framesPlayed() const override { return 0; }

    std::vector<std::uint8_t> written() const {
        std::lock_guard lock(mutex);
        return bytes;
    }

    mutable std::mutex mutex;
    std::vector<std::uint8_t> bytes;
    bool open = true;
    std::atomic<bool> started{false};
    std::atomic<float> volumeSet{-1.0f};
    std::atomic<float> gainSet{-1000.0f};

private:
    platform::PcmFormat format_;
    bool linear_, gain_;
};

class RecordingDriver final : public platform::AudioDriver {
public:
    bool linearVolume = true, masterGain = false;

    const char* name() const override { return "recording"; }
    std::shared_ptr<platform::AudioLine> openLine(const platform::PcmFormat& f) override {
        auto line = std::make_shared<RecordingLine>(f, linearVolume, masterGain);
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
        return line;
    }
    std::vector<std::shared_ptr<RecordingLine>> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<RecordingLine>> lines_;
};

// Installs a RecordingDriver for the scope.
class Recording {
public:
    Recording() : driver(std::make_shared<RecordingDriver>()) { platform::AudioOutput::install(driver); }
    ~Recording() { platform::AudioOutput::install(nullptr); }
    std::shared_ptr<RecordingDriver> driver;
};

// Captures standard output and error, with trace lines switched on.
class Captured {
public:
    Captured() {
        TarvokinEmu::Emulator::resetClassState();  // first-use traces show again
        TarvokinEmu::config().debugOutput = true;
        TarvokinEmu::shared().midletRunning = true;
        platform::Console::redirect(&out_, &err_);
    }
    ~Captured() {
        platform::Console::redirect(nullptr, nullptr);
        TarvokinEmu::Emulator::resetClassState();
    }
    std::string out() const { return out_.str(); }
    std::string err() const { return err_.str(); }

private:
    std::ostringstream out_, err_;
};

}  // namespace audiotest
