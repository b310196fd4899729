#include "DriverSession.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <future>
#include <mutex>
#include <thread>

#include "DriverProbe.h"
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/Launch.h"
#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/TestCard.h"
#include "TarvokinEmu/gl/GLMaster.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/Desktop.h"
#include "platform/HeadlessWindow.h"

namespace driver {

namespace {

using TarvokinEmu::Emulator;

// Holds the supervisor before each serial call until the driver lets it
// run that one call. A paused game posts no call: its frames pass idle.
class SteppingGate final : public Emulator::FrameGate {
public:
    void beforeSerialCall() override {
        std::unique_lock lock(mutex_);
        arrivals_++;
        changed_.notify_all();
        changed_.wait(lock, [this] { return grants_ > 0 || open_; });
        if (grants_ > 0) grants_--;
    }
    void afterSerialCall() override {
        std::lock_guard lock(mutex_);
        finished_++;
        changed_.notify_all();
    }

    // Runs the next serial call to its end. False when the supervisor did
    // not come within 10 s or the program is ending.
    bool runOne(const std::function<bool()>& ending) {
        std::unique_lock lock(mutex_);
        const int wanted = taken_ + 1;
        if (!waitFor(lock, ending, [&] { return arrivals_ >= wanted; })) return false;
        taken_ = wanted;
        grants_++;
        changed_.notify_all();
        return waitFor(lock, ending, [&] { return finished_ >= wanted; });
    }
    // A call has reached the gate and not run yet.
    bool callWaiting() {
        std::lock_guard lock(mutex_);
        return arrivals_ > taken_;
    }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    template <class Done>
    bool waitFor(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ending, Done done) {
        for (int i = 0; i < 1000 && !done(); ++i) {
            if (ending()) return false;
            changed_.wait_for(lock, std::chrono::milliseconds(10));
        }
        return done();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    int grants_ = 0;
    int arrivals_ = 0;  // times the supervisor reached the gate
    int taken_ = 0;     // calls the driver let through
    int finished_ = 0;  // calls that ran to their end
};

platform::HeadlessWindow::Settings screenSettings() {
    platform::HeadlessWindow::Settings settings;
    settings.screen = {800, 600};
    settings.modes = {{800, 600, 32, 60}};
    return settings;
}

}  // namespace

struct Session::Impl {
    int step = 20;
    platform::ManualClock clock{false};
    platform::HeadlessWindowSystem system{screenSettings()};
    SteppingGate gate;
    int exitStatus = 0;
    std::thread events;
    std::unique_ptr<TarvokinEmu::Launch> launch;
    bool running = true;

    bool ending() { return system.events().quitRequested(); }
    // Runs a task on the event thread and waits for it, unless the program
    // ends meanwhile (a loop that has quit runs nothing more).
    void onEventThread(std::function<void()> task) {
        auto done = std::make_shared<std::promise<void>>();
        auto result = done->get_future();
        system.events().post([task = std::move(task), done] {
            try {
                task();
            } catch (const std::exception& e) {
                platform::Console::errln(std::string("tidepool-driver: input failed: ") + e.what());
            }
            done->set_value();
        });
        while (result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            if (ending()) return;
    }
};

Session::Session(const Options& options) : impl_(std::make_unique<Impl>()), printStates_(options.printStates) {
    Impl& s = *impl_;
    s.step = options.stepMs;
    std::error_code ec;
    std::filesystem::create_directories(options.dataDir, ec);
    std::filesystem::current_path(options.dataDir, ec);
    if (ec) throw std::runtime_error("cannot use data folder " + options.dataDir);

    platform::Desktop::setUrlHandler(
        [](const std::string& url) { platform::Console::println("open URL (not opened by the driver): " + url); });
    platform::Clock::install(&s.clock);
    platform::WindowSystem::install(&s.system);
    Emulator::setFrameGate(&s.gate);
    TarvokinEmu::TestCard::registerClass();
    registerGameClasses();
    // With -3d the frames are read back from OpenGL for the screenshots.
    TarvokinEmu::gl::GLMaster::setReadBack(true);

    s.events = std::thread([&s] { s.exitStatus = s.system.runEventLoop(); });
    s.system.events().invokeAndWait([&] { s.launch = std::make_unique<TarvokinEmu::Launch>(options.programArgs); });
    lastState_ = gameState();
}

Session::~Session() = default;

TarvokinEmu::Launch& Session::launch() { return *impl_->launch; }

bool Session::stopping() const {
    return !impl_->running || impl_->ending() || TarvokinEmu::shared().exitRequested.load();
}

void Session::deliver(const ScriptInput& input) {
    Impl& s = *impl_;
    s.onEventThread([&] {
        if (input.kind == ScriptInput::Kind::Key)
            s.launch->emulator().keyEvent(input.key);
        else if (input.kind == ScriptInput::Kind::Mouse)
            s.launch->emulator().mouseEvent(input.mouse);
        else
            s.launch->emulator().windowEvent(input.windowEvent);
    });
}

bool Session::frame(const std::vector<ScriptInput>& inputs) {
    Impl& s = *impl_;
    if (stopping()) return false;
    ++frame_;
    s.clock.advance(s.step);
    for (const ScriptInput& input : inputs) deliver(input);
    // Before the program posted its first call, and whenever one is
    // posted, the frame runs it; otherwise (paused) the frame is idle.
    if (frame_ == 1 || s.gate.callWaiting() || TarvokinEmu::shared().serialCall.load())
        s.running = s.gate.runOne([&s] { return s.ending(); });
    if (!s.running && !s.ending()) platform::Console::errln("tidepool-driver: no frame came within 10 s");
    if (auto state = gameState(); state != lastState_) {
        if (printStates_) {
            platform::Console::println("state " + std::to_string(frame_) + " " +
                                       (lastState_ ? std::to_string(*lastState_) : "none") + " " +
                                       (state ? std::to_string(*state) : "none"));
            if (lastState_)
                if (const std::string note = handOver(*lastState_); !note.empty()) platform::Console::println(note);
        }
        lastState_ = state;
    }
    return s.running;
}

void Session::finish() {
    Impl& s = *impl_;
    // Let the program stop the way a closed window stops it.
    TarvokinEmu::shared().exitRequested = true;
    s.gate.open();
    // The supervisor ends the event loop when it has stopped; a program that
    // does not stop is ended after a while.
    std::thread([&s] {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        s.system.exitProcess(0);
    }).detach();
    s.events.join();
    std::fflush(stdout);
    std::_Exit(s.exitStatus);
}

}  // namespace driver
