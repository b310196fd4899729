#include "platform/NoneAudio.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/Clock.h"

namespace platform {

namespace {

constexpr int kBufferBytes = 2 * 4096;

class NoneLine final : public AudioLine {
public:
    explicit NoneLine(const PcmFormat& format) : format_(format) {}

    const PcmFormat& format() const override { return format_; }

    void start() override {
        std::lock_guard lock(mutex_);
        if (started_) return;
        started_ = true;
        startedAt_ = Clock::current().nowMillis();
    }

    void stop() override {
        std::lock_guard lock(mutex_);
        if (!started_) return;
        playedBase_ = playedLocked();
        started_ = false;
    }

    int write(const std::uint8_t*, int length) override {
        if (length <= 0) return 0;
        {
            std::lock_guard lock(mutex_);
            if (closed_) return 0;
            partialBytes_ += length;
            written_ += partialBytes_ / format_.frameBytes();
            partialBytes_ %= format_.frameBytes();
        }
        const std::int64_t capacityFrames = kBufferBytes / format_.frameBytes();
        if (!waitUntil([&](std::int64_t held) { return held <= capacityFrames; })) return 0;
        return length;
    }

    void drain() override {
        waitUntil([](std::int64_t held) { return held == 0; });
    }

    void close() override {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    void closeWhenPlayedOut() override { close(); }
    bool isOpen() const override {
        std::lock_guard lock(mutex_);
        return !closed_;
    }

    void setVolume(float linear) override { volume_ = std::max(0.0f, linear); }
    float volume() const override { return volume_; }
    int bufferSize() const override { return kBufferBytes; }
    std::int64_t framesPlayed() const override {
        std::lock_guard lock(mutex_);
        return playedLocked();
    }

private:
    std::int64_t playedLocked() const {
        if (!started_) return playedBase_;
        std::int64_t elapsed = Clock::current().nowMillis() - startedAt_;
        return std::min(written_, playedBase_ + elapsed * format_.sampleRate / 1000);
    }

    // Sleeps until enough has "played"; false when the line closed. Returns
    // at once on a stopped line that would otherwise never get there.
    template <typename Done>
    bool waitUntil(Done done) {
        for (;;) {
            std::int64_t held;
            {
                std::lock_guard lock(mutex_);
                if (closed_) return false;
                held = written_ - playedLocked();
                if (done(held) || !started_) return true;
            }
            Clock::current().sleepMillis(std::clamp<std::int64_t>(held * 1000 / format_.sampleRate / 2, 1, 20));
        }
    }

    const PcmFormat format_;
    std::atomic<float> volume_{1.0f};
    mutable std::mutex mutex_;
    bool started_ = false, closed_ = false;
    std::int64_t startedAt_ = 0, playedBase_ = 0, written_ = 0;
    int partialBytes_ = 0;
};

}  // namespace

std::shared_ptr<AudioLine> NoneAudioDriver::openLine(const PcmFormat& format) {
    AudioOutput::requireSupported(format);
    return std::make_shared<NoneLine>(format);
}

}  // namespace platform
