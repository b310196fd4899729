#include "platform/SdlAudio.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <optional>

namespace platform {

namespace {

constexpr int kChunkBytes = 4096;  // the players' write size

// Growable ring of interleaved stereo samples.
class SampleRing {
public:
    std::size_t frames() const { return count_ / 2; }

    void push(const std::int16_t* samples, std::size_t frames) {
        std::size_t n = frames * 2;
        if (n == 0) return;  // an empty ring has no size to wrap by
        if (count_ + n > data_.size()) grow(count_ + n);
        std::size_t tail = (head_ + count_) % data_.size();
        std::size_t first = std::min(n, data_.size() - tail);
        std::memcpy(&data_[tail], samples, first * sizeof(std::int16_t));
        std::memcpy(&data_[0], samples + first, (n - first) * sizeof(std::int16_t));
        count_ += n;
    }

    // Adds up to `frames` frames, scaled by gain, into acc and drops them.
    std::size_t mixInto(std::int32_t* acc, std::size_t frames, float gain) {
        std::size_t n = std::min(frames * 2, count_);
        bool unity = gain == 1.0f;
        for (std::size_t i = 0; i < n; ++i) {
            std::int16_t s = data_[(head_ + i) % data_.size()];
            acc[i] += unity ? s : static_cast<std::int32_t>(std::lrintf(s * gain));
        }
        head_ = data_.empty() ? 0 : (head_ + n) % data_.size();
        count_ -= n;
        return n / 2;
    }

    void clear() { head_ = count_ = 0; }

private:
    void grow(std::size_t need) {
        std::vector<std::int16_t> bigger(std::max<std::size_t>(need, data_.size() * 2));
        for (std::size_t i = 0; i < count_; ++i) bigger[i] = data_[(head_ + i) % data_.size()];
        data_ = std::move(bigger);
        head_ = 0;
    }

    std::vector<std::int16_t> data_;
    std::size_t head_ = 0, count_ = 0;  // in samples
};

std::int16_t readLe16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(p[0] | (p[1] << 8));
}

}  // namespace

// A line of the mixer. The writer converts to the device format into
// `pending`, then moves it into the ring while the ring has room; the
// device callback takes from the ring.
class SdlLine final : public AudioLine {
public:
    SdlLine(const PcmFormat& format, const PcmFormat& device, int periodFrames) : format_(format), device_(device) {
        // Two chunks of the line's own format, but never less than three
        // device periods, so the callback does not starve between writes.
        double ratio = static_cast<double>(device.sampleRate) / format.sampleRate;
        int chunkFrames = kChunkBytes / format.frameBytes();
        capacityFrames_ = std::max(static_cast<std::size_t>(2 * chunkFrames * ratio),
                                   static_cast<std::size_t>(3 * periodFrames));
        bufferBytes_ = static_cast<int>(std::min<double>(capacityFrames_ / ratio * format.frameBytes(), 1 << 30));
        mixChannels_ = std::min(format.channels, 2);
        if (format.sampleRate != device.sampleRate || mixChannels_ != device.channels) {
            stream_ = SDL_NewAudioStream(AUDIO_S16LSB, static_cast<Uint8>(mixChannels_), format.sampleRate,
                                         AUDIO_S16SYS, static_cast<Uint8>(device.channels), device.sampleRate);
            if (!stream_) throw LineUnavailable(std::string("cannot convert ") + format.describe() + ": " + SDL_GetError());
        }
    }

    ~SdlLine() override {
        if (stream_) SDL_FreeAudioStream(stream_);
    }

    const PcmFormat& format() const override { return format_; }

    void start() override {
        std::lock_guard lock(mutex_);
        started_ = true;
    }

    void stop() override {
        std::lock_guard lock(mutex_);
        started_ = false;
        changed_.notify_all();
    }

    int write(const std::uint8_t* data, int length) override {
        if (length <= 0) return 0;
        std::lock_guard writeLock(writeMutex_);
        int taken = 0;
        const int frameBytes = format_.frameBytes();
        // Complete a partial frame left by the previous write first.
        if (!partial_.empty()) {
            int need = std::min(frameBytes - static_cast<int>(partial_.size()), length);
            partial_.insert(partial_.end(), data, data + need);
            taken += need;
            if (static_cast<int>(partial_.size()) == frameBytes) {
                std::vector<std::uint8_t> frame = std::move(partial_);
                partial_.clear();
                if (!convertAndQueue(frame.data(), 1)) return 0;
            }
        }
        while (taken < length) {
            int whole = (length - taken) / frameBytes;
            if (whole == 0) {
                partial_.assign(data + taken, data + length);
                taken = length;
                break;
            }
            int frames = std::min(whole, kChunkBytes / frameBytes + 1);
            if (!convertAndQueue(data + taken, frames)) return taken;
            taken += frames * frameBytes;
        }
        return taken;
    }

    void drain() override {
        {
            std::lock_guard writeLock(writeMutex_);
            flushConverter();
        }
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !started_ || closed_ || ring_.frames() == 0; });
    }

    void close() override {
        std::lock_guard lock(mutex_);
        closed_ = true;
        ring_.clear();
        changed_.notify_all();
    }

    void closeWhenPlayedOut() override {
        // A writer blocked on a full line keeps its converter; its tail is
        // lost rather than waited for.
        if (std::unique_lock writeLock(writeMutex_, std::try_to_lock); writeLock) flushConverter();
        std::lock_guard lock(mutex_);
        if (!started_) {
            closed_ = true;
            ring_.clear();
        }
        releaseWhenEmpty_ = true;
        changed_.notify_all();
    }

    bool isOpen() const override {
        std::lock_guard lock(mutex_);
        return !closed_;
    }

    void follow(const std::shared_ptr<AudioLine>& previous) override {
        std::lock_guard lock(mutex_);
        previous_ = std::dynamic_pointer_cast<SdlLine>(previous);
    }

    // Where in the current mix period this line may start: nullopt while
    // the line it follows still sounds, else the frame that line ended at
    // (0 when it ended in an earlier period). Lines are mixed in the order
    // they opened, so the line followed has been mixed already.
    std::optional<int> startFrame(std::uint64_t period) {
        std::shared_ptr<SdlLine> previous;
        {
            std::lock_guard lock(mutex_);
            previous = previous_;
        }
        if (!previous) return 0;
        std::optional<int> from = previous->endedAt(period);
        {
            std::lock_guard lock(mutex_);
            if (from && *from == 0) previous_.reset();
        }
        // A writer waiting for room counts what the line ahead still holds.
        changed_.notify_all();
        return from;
    }

    void setVolume(float linear) override { volume_ = std::max(0.0f, linear); }
    float volume() const override { return volume_; }
    int bufferSize() const override { return bufferBytes_; }

    std::int64_t framesPlayed() const override {
        return deviceFramesPlayed_.load() * format_.sampleRate / device_.sampleRate;
    }

    // Device callback: adds this line's next frames into acc. Returns false
    // once the line is closed and can leave the mixer.
    bool mixInto(std::int32_t* acc, int frames, std::uint64_t period) {
        std::lock_guard lock(mutex_);
        if (closed_) return false;
        if (!started_) return true;
        std::size_t n = ring_.mixInto(acc, static_cast<std::size_t>(frames), volume_.load());
        deviceFramesPlayed_ += static_cast<std::int64_t>(n);
        if (releaseWhenEmpty_ && ring_.frames() == 0) {
            closed_ = true;
            endPeriod_ = period;
            endFrame_ = static_cast<int>(n);
        }
        changed_.notify_all();
        return !closed_;
    }

    // Frames the line this one follows still has to play (mutex_ held; the
    // lock order is follower, then the line it follows).
    std::size_t framesAhead() const {
        if (!previous_) return 0;
        std::lock_guard lock(previous_->mutex_);
        return previous_->closed_ ? 0 : previous_->ring_.frames();
    }

    // For a line following this one: nullopt while this one still sounds,
    // else the frame of `period` at which it fell silent.
    std::optional<int> endedAt(std::uint64_t period) const {
        std::lock_guard lock(mutex_);
        if (!closed_) return std::nullopt;
        return endPeriod_ == period ? endFrame_ : 0;
    }

private:
    // Converts `frames` frames of the line's format and queues them, waiting
    // for room. False when the line was closed meanwhile.
    bool convertAndQueue(const std::uint8_t* data, int frames) {
        const std::uint8_t* src = data;
        int srcBytes = frames * format_.frameBytes();
        if (format_.channels > 2) {
            downmix(data, frames);
            src = downmixed_.data();
            srcBytes = static_cast<int>(downmixed_.size());
        }
        if (!stream_) {
            converted_.resize(static_cast<std::size_t>(frames) * 2);
            for (int i = 0; i < frames * 2; ++i) converted_[i] = readLe16(src + 2 * i);
        } else {
            if (SDL_AudioStreamPut(stream_, src, srcBytes) != 0) return false;
            putFrames_ += frames;
            takeConverted();
        }
        return queue();
    }

    // Channels beyond two fold into stereo: even channels left, odd right.
    void downmix(const std::uint8_t* data, int frames) {
        const int channels = format_.channels;
        downmixed_.resize(static_cast<std::size_t>(frames) * 4);
        for (int f = 0; f < frames; ++f) {
            std::int32_t sum[2] = {0, 0};
            int count[2] = {0, 0};
            for (int c = 0; c < channels; ++c) {
                sum[c & 1] += readLe16(data + 2 * (f * channels + c));
                count[c & 1]++;
            }
            for (int side = 0; side < 2; ++side) {
                auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(sum[side] / count[side]));
                downmixed_[4 * f + 2 * side] = static_cast<std::uint8_t>(v & 0xFF);
                downmixed_[4 * f + 2 * side + 1] = static_cast<std::uint8_t>(v >> 8);
            }
        }
    }

    void takeConverted() {
        int available = SDL_AudioStreamAvailable(stream_);
        converted_.resize(static_cast<std::size_t>(std::max(available, 0)) / sizeof(std::int16_t));
        int got = available > 0 ? SDL_AudioStreamGet(stream_, converted_.data(), available) : 0;
        converted_.resize(static_cast<std::size_t>(std::max(got, 0)) / sizeof(std::int16_t) / 2 * 2);
        convertedFrames_ += static_cast<std::int64_t>(converted_.size() / 2);
    }

    // Moves the converter's tail into the ring. SDL's resampler keeps the
    // last few hundred frames back even through SDL_AudioStreamFlush, so
    // silence is fed behind them and the output cut at its exact length.
    void flushConverter() {
        if (!stream_) return;
        const std::int64_t expected = putFrames_ * device_.sampleRate / format_.sampleRate;
        const std::vector<std::uint8_t> silence(static_cast<std::size_t>(1024 * mixChannels_ * 2), 0);
        std::vector<std::int16_t> tail;
        for (int round = 0; round < 64 && convertedFrames_ < expected; ++round) {
            const std::int64_t before = convertedFrames_;
            takeConverted();
            auto keep = static_cast<std::size_t>(
                std::clamp<std::int64_t>(expected - before, 0, static_cast<std::int64_t>(converted_.size() / 2)));
            tail.insert(tail.end(), converted_.begin(), converted_.begin() + static_cast<std::ptrdiff_t>(2 * keep));
            if (convertedFrames_ >= expected) break;
            SDL_AudioStreamPut(stream_, silence.data(), static_cast<int>(silence.size()));
        }
        SDL_AudioStreamClear(stream_);
        putFrames_ = convertedFrames_ = 0;
        converted_.clear();
        std::lock_guard lock(mutex_);
        if (!closed_) ring_.push(tail.data(), tail.size() / 2);
    }

    // Waits until the ring, with what the line it follows still holds, is
    // below its capacity, then queues the whole conversion: the ring holds
    // at most its capacity plus one chunk, and a loop of short passes does
    // not pile up passes ahead of the output.
    bool queue() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || ring_.frames() + framesAhead() < capacityFrames_; });
        if (closed_) return false;
        ring_.push(converted_.data(), converted_.size() / 2);
        return true;
    }

    const PcmFormat format_;
    const PcmFormat device_;
    int mixChannels_ = 2;
    std::size_t capacityFrames_ = 0;
    int bufferBytes_ = 0;
    std::atomic<float> volume_{1.0f};
    std::atomic<std::int64_t> deviceFramesPlayed_{0};

    std::mutex writeMutex_;  // writer side: converter, partial frame
    SDL_AudioStream* stream_ = nullptr;
    std::int64_t putFrames_ = 0, convertedFrames_ = 0;  // since the last flush
    std::vector<std::uint8_t> partial_;
    std::vector<std::uint8_t> downmixed_;
    std::vector<std::int16_t> converted_;

    mutable std::mutex mutex_;  // shared with the callback
    std::condition_variable changed_;
    SampleRing ring_;
    bool started_ = false;
    bool closed_ = false;
    bool releaseWhenEmpty_ = false;
    std::shared_ptr<SdlLine> previous_;  // the line this one waits for
    // Where the line fell silent once played out: the mix period and the
    // frame in it.
    std::uint64_t endPeriod_ = ~std::uint64_t{0};
    int endFrame_ = 0;
};

std::shared_ptr<SdlAudioDriver> SdlAudioDriver::open() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        throw AudioError(std::string("SDL audio unavailable: ") + SDL_GetError());
    std::shared_ptr<SdlAudioDriver> driver(new SdlAudioDriver());
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlAudioDriver::callback;
    want.userdata = driver.get();
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts to whatever the hardware wants.
    driver->device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (driver->device_ == 0) {
        std::string error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        throw AudioError("no audio device: " + error);
    }
    driver->deviceFormat_ = {have.freq, have.channels};
    driver->periodFrames_ = have.samples;
    driver->accumulator_.resize(static_cast<std::size_t>(have.samples) * have.channels);
    SDL_PauseAudioDevice(driver->device_, 0);
    return driver;
}

SdlAudioDriver::~SdlAudioDriver() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    std::lock_guard lock(linesMutex_);
    for (auto& line : lines_) line->close();
}

const char* SdlAudioDriver::backendName() const {
    const char* n = SDL_GetCurrentAudioDriver();
    return n ? n : "";
}

std::shared_ptr<AudioLine> SdlAudioDriver::openLine(const PcmFormat& format) {
    AudioOutput::requireSupported(format);
    auto line = std::make_shared<SdlLine>(format, deviceFormat_, periodFrames_);
    std::lock_guard lock(linesMutex_);
    lines_.push_back(line);
    return line;
}

void SdlAudioDriver::callback(void* self, unsigned char* stream, int length) {
    auto* driver = static_cast<SdlAudioDriver*>(self);
    driver->mix(reinterpret_cast<std::int16_t*>(stream),
                length / static_cast<int>(sizeof(std::int16_t)) / driver->deviceFormat_.channels);
}

void SdlAudioDriver::mix(std::int16_t* out, int frames) {
    const std::size_t samples = static_cast<std::size_t>(frames) * deviceFormat_.channels;
    if (accumulator_.size() < samples) accumulator_.resize(samples);
    std::fill_n(accumulator_.begin(), samples, 0);
    {
        std::lock_guard lock(linesMutex_);
        ++period_;
        const int channels = deviceFormat_.channels;
        std::erase_if(lines_, [&](const std::shared_ptr<SdlLine>& line) {
            std::optional<int> from = line->startFrame(period_);
            if (!from) return false;  // its predecessor still sounds
            return !line->mixInto(accumulator_.data() + static_cast<std::size_t>(*from) * channels, frames - *from,
                                  period_);
        });
    }
    for (std::size_t i = 0; i < samples; ++i)
        out[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(accumulator_[i], -32768, 32767));
}

}  // namespace platform
