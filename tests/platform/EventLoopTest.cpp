#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

TEST(EventLoop, InvokeAndWaitRunsOnLoopThreadAndRethrows) {
    platform::EventLoop loop;
    std::thread t([&] { loop.run([&](int ms) { loop.waitForTasks(ms); }); });
    std::thread::id seen;
    loop.invokeAndWait([&] { seen = std::this_thread::get_id(); });
    EXPECT_EQ(seen, t.get_id());
    EXPECT_THROW(loop.invokeAndWait([] { throw std::runtime_error("boom"); }), std::runtime_error);
    loop.quit(3);
    t.join();
}

TEST(EventLoop, FirstQuitStatusWinsAndLateTasksStillRun) {
    platform::EventLoop loop;
    std::atomic<int> ran{0};
    loop.post([&] { ran++; });
    loop.quit(-2);
    loop.quit(0);
    loop.post([&] { ran++; });
    EXPECT_EQ(loop.run([](int) {}), -2);
    EXPECT_EQ(ran.load(), 2);
}

}  // namespace
