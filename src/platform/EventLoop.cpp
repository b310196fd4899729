#include "platform/EventLoop.h"

#include <exception>
#include <future>
#include <stdexcept>

#include "platform/Console.h"

namespace platform {

void EventLoop::post(Task task) {
    std::function<void()> waker;
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        waker = waker_;
    }
    wake_.notify_all();
    if (waker) waker();
}

void EventLoop::invokeAndWait(Task task) {
    if (isEventThread()) {
        task();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> result = done->get_future();
    post([task = std::move(task), done] {
        try {
            task();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    });
    result.get();
}

bool EventLoop::isEventThread() const { return thread_.load() == std::this_thread::get_id(); }

int EventLoop::run(const Pump& pump) {
    thread_ = std::this_thread::get_id();
    while (!quit_) {
        bool ranAny = runQueued();
        if (quit_) break;
        pump(ranAny ? 0 : 10);
    }
    // Tasks posted after the quit still run, so nobody waiting on one hangs.
    runQueued();
    return status_.load();
}

void EventLoop::quit(int status) {
    bool expected = false;
    {
        std::lock_guard lock(mutex_);
        if (quit_.compare_exchange_strong(expected, true)) status_ = status;
    }
    wake_.notify_all();
    std::function<void()> waker;
    {
        std::lock_guard lock(mutex_);
        waker = waker_;
    }
    if (waker) waker();
}

void EventLoop::setWaker(std::function<void()> waker) {
    std::lock_guard lock(mutex_);
    waker_ = std::move(waker);
}

void EventLoop::setErrorReporter(ErrorReporter reporter) {
    std::lock_guard lock(mutex_);
    reporter_ = std::move(reporter);
}

void EventLoop::report(const std::exception& e) {
    ErrorReporter reporter;
    {
        std::lock_guard lock(mutex_);
        reporter = reporter_;
    }
    if (reporter)
        reporter(e);
    else
        Console::errln(std::string("Exception in thread \"event\" ") + e.what());
}

void EventLoop::waitForTasks(int waitMs) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return !tasks_.empty() || quit_.load(); });
}

bool EventLoop::runQueued() {
    std::deque<Task> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(tasks_);
    }
    for (auto& t : batch) {
        // A failing task must not take the event thread down with it.
        try {
            t();
        } catch (const std::exception& e) {
            report(e);
        } catch (...) {
            report(std::runtime_error("unknown exception"));
        }
    }
    return !batch.empty();
}

}  // namespace platform
