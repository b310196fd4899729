#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
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

// A task that throws goes to the reporter, and the tasks after it run.
TEST(EventLoop, FailingTaskIsReportedAndTheLoopGoesOn) {
    platform::EventLoop loop;
    std::string reported;
    loop.setErrorReporter([&](const std::exception& e) { reported = e.what(); });
    std::atomic<int> ran{0};
    loop.post([] { throw std::runtime_error("task failed"); });
    loop.post([&] { ran++; });
    loop.quit(0);
    loop.run([](int) {});
    EXPECT_EQ(reported, "task failed");
    EXPECT_EQ(ran.load(), 1);
}

}  // namespace
