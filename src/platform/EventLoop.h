// The window system's event thread: the thread that pumps window events and
// runs tasks handed to it by other threads. In the shipped program this is
// the process's main thread (SDL wants its video calls there).
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

class EventLoop {
public:
    using Task = std::function<void()>;
    // Waits up to the given milliseconds for window events and dispatches
    // them; returns early when woken.
    using Pump = std::function<void(int waitMs)>;

    // Queues a task for the event thread; returns at once.
    void post(Task task);
    // Runs the task on the event thread and waits for it; runs it inline
    // when called on the event thread. Rethrows what the task threw.
    void invokeAndWait(Task task);
    bool isEventThread() const;
    // Makes the calling thread the event thread before run() starts, so that
    // start-up work done there counts as done on it.
    void attachCurrentThread() { thread_ = std::this_thread::get_id(); }

    // Runs the loop on the calling thread until quit(); returns its status.
    int run(const Pump& pump);
    // Ends run() with the given process status (the first request wins).
    void quit(int status);
    bool quitRequested() const { return quit_.load(); }

    // Called by post() so that a pump blocked in the window system wakes.
    void setWaker(std::function<void()> waker);

    // What becomes of an exception that a task or an event handler threw:
    // it is reported and the loop goes on. The default prints a line naming
    // the thread and the exception; the program installs its own form.
    using ErrorReporter = std::function<void(const std::exception&)>;
    void setErrorReporter(ErrorReporter reporter);
    void report(const std::exception& e);
    // For pumps without a window system: sleep until a task arrives.
    void waitForTasks(int waitMs);

private:
    bool runQueued();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    std::function<void()> waker_;
    ErrorReporter reporter_;
    std::atomic<std::thread::id> thread_{};
    std::atomic<bool> quit_{false};
    std::atomic<int> status_{0};
};

}  // namespace platform
