#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {

namespace {
SystemClock systemClock;
std::atomic<Clock*> installed{nullptr};
}  // namespace

Clock& Clock::current() {
    Clock* c = installed.load();
    return c ? *c : systemClock;
}

void Clock::install(Clock* clock) { installed = clock; }

std::int64_t SystemClock::nowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::sleepMillis(std::int64_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::int64_t ManualClock::nowMillis() { return now_.load(); }

void ManualClock::sleepMillis(std::int64_t ms) {
    if (ms > 0 && sleepsAdvance_) advance(ms);
}

void ManualClock::advance(std::int64_t ms) { now_.fetch_add(ms); }

}  // namespace platform
