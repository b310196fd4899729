// Time and sleeping. The shipped program uses the system clock; tests that
// need exact frame timing install a manual one.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic scale.
    virtual std::int64_t nowMillis() = 0;
    virtual void sleepMillis(std::int64_t ms) = 0;

    // The clock in force for the whole process.
    static Clock& current();
    // Replaces it (tests only); null restores the system clock.
    static void install(Clock* clock);
};

class SystemClock final : public Clock {
public:
    std::int64_t nowMillis() override;
    void sleepMillis(std::int64_t ms) override;
};

// Time moves only when told to, or by each sleep's length.
class ManualClock final : public Clock {
public:
    // With sleepsAdvanceTime false a sleep returns at once and time moves
    // only by advance(), so a frame's length does not depend on how often
    // the threads slept.
    explicit ManualClock(bool sleepsAdvanceTime = true) : sleepsAdvance_(sleepsAdvanceTime) {}
    std::int64_t nowMillis() override;
    void sleepMillis(std::int64_t ms) override;
    void advance(std::int64_t ms);

private:
    std::atomic<std::int64_t> now_{1000};
    bool sleepsAdvance_;
};

}  // namespace platform
