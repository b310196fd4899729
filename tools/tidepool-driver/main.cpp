// tidepool-driver: runs the real program (runtime, game and data) on the
// headless window system with a fixed-step clock, feeds it a script of timed
// inputs and writes screenshots. The same inputs give the same frames.
//
//   tidepool-driver [--step MS] [--frames N] [--script FILE] [--monkey SEED]
//                   [--shot FRAME:FILE.png]... [--data DIR] [-- PROGRAM OPTIONS]
//
// A web page the program asks to open is named on standard output, not opened.
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "DriverProbe.h"
#include "InputScript.h"
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Launch.h"
#include "TarvokinEmu/TestCard.h"
#include "TarvokinEmu/gl/GLMaster.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/Desktop.h"
#include "platform/HeadlessWindow.h"
#include "platform/PngWriter.h"

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

const char* kUsage =
    "usage: tidepool-driver [--step MS] [--frames N] [--script FILE] [--monkey SEED]\n"
    "                       [--shot FRAME:FILE.png]... [--data DIR] [-- PROGRAM OPTIONS]\n";

int usage(const char* why) {
    std::fprintf(stderr, "tidepool-driver: %s\n%s", why, kUsage);
    return 2;
}

bool writeScreen(const std::string& file) {
    auto image = TarvokinEmu::shared().screenImage;
    if (!image || !image->pixelBuffer()) return false;
    const int w = image->getWidth(), h = image->getHeight();
    auto png = platform::encodePng({image->pixelBuffer(), static_cast<std::size_t>(w) * h}, w, h);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return !png.empty() && static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    int step = 20, frames = 100;
    std::string scriptFile, dataDir;
    std::optional<unsigned> monkeySeed;
    std::multimap<int, std::string> shots;
    std::vector<std::string> programArgs;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--") {
            programArgs.assign(argv + i + 1, argv + argc);
            break;
        } else if (a == "--step") {
            auto v = TarvokinEmu::Launch::parseInt(value());
            if (!v || *v < 1) return usage("--step needs a number of milliseconds above 0");
            step = *v;
        } else if (a == "--frames") {
            auto v = TarvokinEmu::Launch::parseInt(value());
            if (!v || *v < 0) return usage("--frames needs a count");
            frames = *v;
        } else if (a == "--script") {
            scriptFile = value();
        } else if (a == "--monkey") {
            auto v = TarvokinEmu::Launch::parseInt(value());
            if (!v || *v < 0) return usage("--monkey needs a seed");
            monkeySeed = static_cast<unsigned>(*v);
        } else if (a == "--data") {
            dataDir = value();
        } else if (a == "--shot") {
            std::string v = value();
            auto colon = v.find(':');
            auto frame = colon == std::string::npos ? std::nullopt : TarvokinEmu::Launch::parseInt(v.substr(0, colon));
            if (!frame || colon + 1 >= v.size()) return usage("--shot needs FRAME:FILE.png");
            shots.emplace(*frame, std::filesystem::absolute(v.substr(colon + 1)).string());
        } else {
            return usage(("unknown option " + a).c_str());
        }
    }

    std::vector<driver::ScriptInput> inputs;
    if (!scriptFile.empty()) {
        std::ifstream in(scriptFile);
        if (!in) return usage(("cannot read " + scriptFile).c_str());
        try {
            inputs = driver::parseInputScript(in);
        } catch (const std::exception& e) {
            return usage(e.what());
        }
    }

    if (monkeySeed) {
        if (!inputs.empty()) return usage("--monkey and --script do not mix");
        inputs = driver::monkeyInput(*monkeySeed, frames);
    }

    // The saves of a driven run go to a folder of its own.
    std::error_code ec;
    if (dataDir.empty()) {
        dataDir = (std::filesystem::temp_directory_path() / ("tidepool-driver-" + std::to_string(getpid()))).string();
        std::filesystem::remove_all(dataDir, ec);
    }
    std::filesystem::create_directories(dataDir, ec);
    std::filesystem::current_path(dataDir, ec);
    if (ec) return usage(("cannot use data folder " + dataDir).c_str());

    platform::Desktop::setUrlHandler(
        [](const std::string& url) { platform::Console::println("open URL (not opened by the driver): " + url); });
    platform::ManualClock clock(false);
    platform::Clock::install(&clock);
    platform::HeadlessWindow::Settings settings;
    settings.screen = {800, 600};
    settings.modes = {{800, 600, 32, 60}};
    platform::HeadlessWindowSystem system(settings);
    platform::WindowSystem::install(&system);
    SteppingGate gate;
    Emulator::setFrameGate(&gate);
    TarvokinEmu::TestCard::registerClass();
    driver::registerGameClasses();
    // With -3d the frames are read back from OpenGL for the screenshots.
    TarvokinEmu::gl::GLMaster::setReadBack(true);

    int exitStatus = 0;
    std::thread events([&] { exitStatus = system.runEventLoop(); });
    std::unique_ptr<TarvokinEmu::Launch> launch;
    system.events().invokeAndWait([&] { launch = std::make_unique<TarvokinEmu::Launch>(programArgs); });

    auto ending = [&] { return system.events().quitRequested(); };
    // Runs a task on the event thread and waits for it, unless the program
    // ends meanwhile (a loop that has quit runs nothing more).
    auto onEventThread = [&](std::function<void()> task) {
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
    };
    std::optional<int> lastState = driver::gameState();
    std::size_t next = 0;
    int frame = 0;
    bool running = true;
    // A program that asked to stop runs no more frames.
    auto stopping = [&] { return ending() || TarvokinEmu::shared().exitRequested.load(); };
    for (frame = 1; running && !stopping() && frame <= frames; ++frame) {
        clock.advance(step);
        for (; next < inputs.size() && inputs[next].frame <= frame; ++next) {
            const driver::ScriptInput& input = inputs[next];
            onEventThread([&] {
                if (input.kind == driver::ScriptInput::Kind::Key)
                    launch->emulator().keyEvent(input.key);
                else if (input.kind == driver::ScriptInput::Kind::Mouse)
                    launch->emulator().mouseEvent(input.mouse);
                else
                    launch->emulator().windowEvent(input.windowEvent);
            });
        }
        // Before the program posted its first call, and whenever one is
        // posted, the frame runs it; otherwise (paused) the frame is idle.
        if (frame == 1 || gate.callWaiting() || TarvokinEmu::shared().serialCall.load()) running = gate.runOne(ending);
        if (auto state = driver::gameState(); state != lastState) {
            platform::Console::println("state " + std::to_string(frame) + " " +
                                       (lastState ? std::to_string(*lastState) : "none") + " " +
                                       (state ? std::to_string(*state) : "none"));
            if (lastState)
                if (const std::string note = driver::handOver(*lastState); !note.empty()) platform::Console::println(note);
            lastState = state;
        }
        auto [from, to] = shots.equal_range(frame);
        for (auto it = from; it != to; ++it)
            if (!writeScreen(it->second)) platform::Console::errln("tidepool-driver: cannot write " + it->second);
    }
    if (!running && !ending()) platform::Console::errln("tidepool-driver: no frame came within 10 s");
    platform::Console::println("frames " + std::to_string(frame - 1));

    // Let the program stop the way a closed window stops it.
    TarvokinEmu::shared().exitRequested = true;
    gate.open();
    // The supervisor ends the event loop when it has stopped; a program that
    // does not stop is ended after a while.
    std::thread([&system] {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        system.exitProcess(0);
    }).detach();
    events.join();
    std::fflush(stdout);
    std::_Exit(exitStatus);
}
