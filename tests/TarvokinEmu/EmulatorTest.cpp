#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/SharedState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <sstream>
#include <thread>

#include "TarvokinEmu/MIDletRegistry.h"
#include "javax/microedition/lcdui/Canvas.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/midlet/MIDlet.h"
#include "javax/microedition/rms/RecordStore.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/HeadlessWindow.h"
#include "support/Subprocess.h"

namespace {

using TarvokinEmu::Emulator;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Graphics;

// Counts what the shell calls; paints its pixel pattern.
class ProbeCanvas final : public Canvas {
public:
    void paint(Graphics& g) override {
        paints++;
        g.setColor(fill);
        g.fillRect(0, 0, getWidth(), getHeight());
        g.setColor(0xFF0000);
        g.fillRect(1, 0, 1, 1);
        g.setColor(0x00FF00);
        g.fillRect(0, 1, 1, 1);
        if (throwInPaint) throw std::runtime_error("paint failed");
    }
    void showNotify() override { shows++; }
    void hideNotify() override { hides++; }
    std::atomic<int> paints{0}, shows{0}, hides{0};
    bool throwInPaint = false;
    int fill = 0x102030;
};

// A shell on the headless window system with its event thread running, in
// a scratch working directory (the settings store lives there).
class HeadlessShell : public ::testing::Test {
protected:
    void SetUp() override {
        oldDir_ = std::filesystem::current_path();
        dir_ = testsupport::makeTempDir("emu");
        std::filesystem::current_path(dir_);
        Emulator::resetClassState();
        javax::microedition::rms::RecordStore::resetClassState();
    }
    void start(platform::HeadlessWindow::Settings settings = {}) {
        system_ = std::make_unique<platform::HeadlessWindowSystem>(settings);
        platform::WindowSystem::install(system_.get());
        loop_ = std::thread([this] { system_->runEventLoop(); });
        emulator_ = std::make_unique<Emulator>();
    }
    void TearDown() override {
        if (system_) {
            system_->events().quit(0);
            loop_.join();
        }
        canvas_.reset();
        emulator_.reset();
        platform::WindowSystem::install(nullptr);
        platform::Clock::install(nullptr);
        Emulator::resetClassState();
        javax::microedition::rms::RecordStore::resetClassState();
        std::filesystem::current_path(oldDir_);
        std::filesystem::remove_all(dir_);
    }
    void onEventThread(std::function<void()> f) { system_->events().invokeAndWait(std::move(f)); }
    // Event thread: builds the window for this setting (with the PC
    // keyboard on, the setting, not setupWindow's argument, decides).
    void setupWindow(bool fullScreen) {
        TarvokinEmu::shared().fullScreen = fullScreen;
        emulator_->setupWindow(fullScreen);
    }
    // A shell with its screen, a window in this setting and the canvas.
    void startWithWindow(bool fullScreen) {
        start();
        onEventThread([&] {
            emulator_->createScreen();
            setupWindow(fullScreen);
        });
        canvas();
    }
    platform::HeadlessWindow& window() { return *system_->window(); }
    ProbeCanvas& canvas() {
        if (!canvas_) canvas_ = std::make_unique<ProbeCanvas>();
        return *canvas_;
    }

    std::filesystem::path oldDir_;
    std::string dir_;
    std::unique_ptr<platform::HeadlessWindowSystem> system_;
    std::thread loop_;
    std::unique_ptr<Emulator> emulator_;
    std::unique_ptr<ProbeCanvas> canvas_;
};

TEST_F(HeadlessShell, WindowedSizeIncludesInsetsAndCentres) {
    platform::HeadlessWindow::Settings s;
    s.insets = {4, 30, 4, 4};
    s.screen = {1024, 768};
    start(s);
    TarvokinEmu::config().screenWidth = 240;
    TarvokinEmu::config().screenHeight = 320;
    TarvokinEmu::config().zoom = 2;
    TarvokinEmu::shared().fullScreen = false;
    onEventThread([&] {
        emulator_->createScreen();
        TarvokinEmu::shared().fullScreen = false;
        emulator_->setupWindow(false);
    });
    auto snap = window().snapshot();
    EXPECT_EQ(snap.outer.width, 488);
    EXPECT_EQ(snap.outer.height, 674);
    EXPECT_EQ(snap.client.width, 480);
    EXPECT_EQ(snap.client.height, 640);
    EXPECT_EQ(snap.x, (1024 - 488) / 2);
    EXPECT_EQ(snap.y, (768 - 674) / 2);
    EXPECT_TRUE(snap.decorated);
    EXPECT_TRUE(snap.shown);
    auto at = emulator_->placement();
    EXPECT_EQ(at.x, 4);
    EXPECT_EQ(at.y, 30);
    EXPECT_EQ(at.scale, 2);
    EXPECT_EQ(window().title(), "TarvokinEmu 240x320");
}

TEST_F(HeadlessShell, FirstRunIsFullScreenInThePreferredMode) {
    platform::HeadlessWindow::Settings s;
    s.modes = {{1920, 1080, 32, 60}, {800, 600, 16, 60}, {800, 600, 32, 75}};
    start(s);
    onEventThread([&] {
        emulator_->createScreen();
        emulator_->setupWindow(true);
    });
    EXPECT_TRUE(Emulator::isFullScreen());
    auto snap = window().snapshot();
    EXPECT_TRUE(snap.fullScreen);
    EXPECT_FALSE(snap.decorated);
    EXPECT_EQ(snap.displayMode, (platform::DisplayMode{800, 600, 32, 75}));
    auto at = emulator_->placement();
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(at.scale, 1);
}

TEST_F(HeadlessShell, FullScreenWithoutAnEightHundredModeIsCentredAndScaled) {
    platform::HeadlessWindow::Settings s;
    s.screen = {2560, 1440};
    s.modes = {{2560, 1440, 32, 60}};
    start(s);
    onEventThread([&] {
        emulator_->createScreen();
        emulator_->setupWindow(true);
    });
    auto at = emulator_->placement();
    EXPECT_EQ(at.scale, 2);
    EXPECT_EQ(at.x, (2560 - 1600) / 2);
    EXPECT_EQ(at.y, (1440 - 1200) / 2);

    canvas();
    emulator_->renderFrame();
    auto snap = window().snapshot();
    ASSERT_EQ(snap.frame.size(), 2560u * 1440u);
    auto px = [&](int x, int y) { return snap.frame[static_cast<std::size_t>(y) * 2560 + x]; };
    EXPECT_EQ(px(0, 0), 0xFF000000u);                 // black border
    EXPECT_EQ(px(at.x + 2, at.y), 0xFFFF0000u);       // pixel (1, 0) doubled
    EXPECT_EQ(px(at.x + 3, at.y + 1), 0xFFFF0000u);
    EXPECT_EQ(px(at.x, at.y + 2), 0xFF00FF00u);       // pixel (0, 1) doubled
    EXPECT_EQ(px(at.x + 1599, at.y + 1199), 0xFF102030u);
}

TEST_F(HeadlessShell, RenderFramePaintsPresentsAndSurvivesPaintFailure) {
    start();
    TarvokinEmu::config().screenWidth = 4;
    TarvokinEmu::config().screenHeight = 3;
    TarvokinEmu::config().zoom = 3;
    onEventThread([&] {
        emulator_->createScreen();
        TarvokinEmu::shared().fullScreen = false;
        emulator_->setupWindow(false);
    });
    canvas().throwInPaint = true;
    std::ostringstream err;
    platform::Console::redirect(nullptr, &err);
    emulator_->renderFrame();
    platform::Console::redirect(nullptr, nullptr);
    EXPECT_NE(err.str().find("paint failed"), std::string::npos);
    EXPECT_EQ(canvas().paints.load(), 1);
    auto snap = window().snapshot();
    EXPECT_EQ(snap.frames, 1);
    ASSERT_EQ(snap.frame.size(), 12u * 9u);
    EXPECT_EQ(snap.frame[3], 0xFFFF0000u);
    EXPECT_EQ(snap.frame[5 + 2 * 12], 0xFFFF0000u);
    EXPECT_EQ(snap.frame[6], 0xFF102030u);
    EXPECT_EQ(window().title(), "Tidepool Dash");
}

// A frame that looks like the last one shown is not converted and shown
// again, unless the window was rebuilt since.
TEST_F(HeadlessShell, UnchangedFramesAreNotPresentedAgain) {
    startWithWindow(false);
    emulator_->renderFrame();
    emulator_->renderFrame();
    EXPECT_EQ(window().snapshot().frames, 1);
    canvas().fill = 0x405060;
    emulator_->renderFrame();
    EXPECT_EQ(window().snapshot().frames, 2);
    onEventThread([&] { setupWindow(false); });
    emulator_->renderFrame();
    EXPECT_EQ(window().snapshot().frames, 3);
    EXPECT_EQ(canvas().paints.load(), 4);
}

TEST_F(HeadlessShell, RenderFrameDoesNotWaitForAWindowThatCannotPaint) {
    startWithWindow(true);
    window().setMinimised(true);
    auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) emulator_->renderFrame();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
    EXPECT_EQ(canvas().paints.load(), 20);
    // Restored, the window gets the frame it missed although nothing changed.
    const int shown = window().snapshot().frames;
    window().setMinimised(false);
    emulator_->renderFrame();
    EXPECT_EQ(window().snapshot().frames, shown + 1);
}

// Without a game title the window says the game's name, also after a
// full-screen round trip has rebuilt it.
TEST_F(HeadlessShell, DefaultTitleSurvivesAFullScreenRoundTrip) {
    startWithWindow(false);
    emulator_->renderFrame();
    EXPECT_EQ(window().title(), "Tidepool Dash");
    onEventThread([&] {
        setupWindow(true);
        setupWindow(false);
    });
    emulator_->renderFrame();
    EXPECT_EQ(window().title(), "Tidepool Dash");
}

// Full screen scales to fit; the zoom asked for on the command line is what
// the window gets back afterwards.
TEST_F(HeadlessShell, WindowKeepsTheAskedZoomAcrossFullScreen) {
    start();
    TarvokinEmu::config().screenWidth = 240;
    TarvokinEmu::config().screenHeight = 320;
    TarvokinEmu::config().zoom = 2;
    onEventThread([&] {
        emulator_->createScreen();
        setupWindow(false);
        setupWindow(true);
    });
    EXPECT_EQ(emulator_->placement().scale, 3);  // 1280 x 1024 fits three times
    onEventThread([&] { setupWindow(false); });
    EXPECT_EQ(window().snapshot().outer.width, 480);
    EXPECT_EQ(window().snapshot().outer.height, 640);
    EXPECT_EQ(emulator_->placement().scale, 2);
    EXPECT_EQ(TarvokinEmu::config().zoom, 2);
}

TEST_F(HeadlessShell, FramePacingHonoursTheCap) {
    start();
    platform::ManualClock clock;
    platform::Clock::install(&clock);
    onEventThread([&] { emulator_->createScreen(); });
    canvas();
    TarvokinEmu::config().maxFps = 25;
    std::vector<std::int64_t> times;
    for (int i = 0; i < 4; ++i) {
        emulator_->renderFrame();
        times.push_back(clock.nowMillis());
        clock.advance(15);  // the frame's own work
    }
    for (std::size_t i = 1; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 40);

    for (int cap : {0, -1, 2000}) {
        TarvokinEmu::config().maxFps = cap;
        std::int64_t before = clock.nowMillis();
        emulator_->renderFrame();
        emulator_->renderFrame();
        EXPECT_EQ(clock.nowMillis(), before) << "cap " << cap;
    }
}

TEST_F(HeadlessShell, WindowEventsPauseAndResumeWithTheFilter) {
    start();
    platform::ManualClock clock;
    platform::Clock::install(&clock);
    canvas();
    TarvokinEmu::shared().midletRunning = true;
    auto send = [&](int id) { onEventThread([&] { emulator_->windowEvent(id); }); };

    // The window system reports one focus change as two events at once:
    // one pause, one resume, and the event thread never sleeps.
    auto sendPair = [&](int first, int second) {
        onEventThread([&] {
            emulator_->windowEvent(first);
            emulator_->windowEvent(second);
        });
    };
    const std::int64_t before = clock.nowMillis();
    sendPair(platform::WindowDeactivated, platform::WindowLostFocus);
    EXPECT_EQ(canvas().hides.load(), 1);
    EXPECT_EQ(clock.nowMillis(), before);
    clock.advance(100);
    sendPair(platform::WindowActivated, platform::WindowGainedFocus);
    EXPECT_EQ(canvas().shows.load(), 1);
    // 30 ms apart: ignored, and the ignored event's time counts too.
    clock.advance(30);
    send(platform::WindowDeactivated);
    clock.advance(30);
    send(platform::WindowIconified);
    EXPECT_EQ(canvas().hides.load(), 1);
    clock.advance(51);
    send(platform::WindowIconified);
    EXPECT_EQ(canvas().hides.load(), 2);

    // During a full-screen switch focus loss is not a pause.
    TarvokinEmu::shared().fullScreenSwitching = true;
    clock.advance(100);
    send(platform::WindowLostFocus);
    EXPECT_EQ(canvas().hides.load(), 2);
    clock.advance(100);
    send(platform::WindowActivated);
    EXPECT_FALSE(TarvokinEmu::shared().fullScreenSwitching.load());
    EXPECT_EQ(canvas().shows.load(), 2);

    // Nothing while no MIDlet runs.
    TarvokinEmu::shared().midletRunning = false;
    clock.advance(100);
    send(platform::WindowLostFocus);
    EXPECT_EQ(canvas().hides.load(), 2);
}

class IdleMidlet final : public javax::microedition::midlet::MIDlet {
public:
    void startApp() override {}
    void pauseApp() override {}
    void destroyApp(bool) override {}
};

// A switch that brings no focus events (no window manager) must not leave
// the game deaf to the next real focus loss.
TEST_F(HeadlessShell, FocusLossAfterASwitchWithoutFocusEventsPauses) {
    TarvokinEmu::MIDletRegistry::registerClass("IdleMidlet", [] { return std::make_shared<IdleMidlet>(); });
    start();
    platform::ManualClock clock(false);
    platform::Clock::install(&clock);
    onEventThread([&] {
        emulator_->createScreen();
        emulator_->setupWindow(true);
    });
    canvas();
    std::ostringstream out;
    platform::Console::redirect(&out, nullptr);
    emulator_->startMidlet("IdleMidlet");
    auto until = [](const std::function<bool()>& done) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return done();
    };
    ASSERT_TRUE(until([] { return TarvokinEmu::shared().midletRunning.load(); }));
    onEventThread([&] { emulator_->keyEvent(platform::KeyEvent{true, 122, 1}); });  // F11
    ASSERT_TRUE(until([&] { return !window().isFullScreen(); }));
    onEventThread([] {});  // the rebuild has returned
    clock.advance(2000);
    onEventThread([&] { emulator_->windowEvent(platform::WindowLostFocus); });
    TarvokinEmu::shared().exitRequested = true;
    emulator_->joinSupervisor();
    platform::Console::redirect(nullptr, nullptr);
    EXPECT_EQ(canvas().hides.load(), 1);
}

TEST_F(HeadlessShell, FullScreenSwitchRunsOnTheSupervisorAndIsRemembered) {
    TarvokinEmu::MIDletRegistry::registerClass("IdleMidlet", [] { return std::make_shared<IdleMidlet>(); });
    start();
    onEventThread([&] {
        emulator_->createScreen();
        emulator_->setupWindow(TarvokinEmu::shared().fullScreen);
    });
    ASSERT_TRUE(Emulator::isFullScreen());
    EXPECT_FALSE(std::filesystem::exists("rms.dat"));  // a first run writes nothing

    std::ostringstream out;
    platform::Console::redirect(&out, nullptr);
    emulator_->startMidlet("IdleMidlet");
    emulator_->requestFullScreen(true);  // already full screen: nothing
    EXPECT_FALSE(TarvokinEmu::shared().fullScreenSwitching.load());
    emulator_->requestFullScreen(false);
    emulator_->requestFullScreen(true);  // a rebuild is pending: ignored
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (window().isFullScreen() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    TarvokinEmu::shared().exitRequested = true;
    emulator_->joinSupervisor();
    platform::Console::redirect(nullptr, nullptr);

    EXPECT_FALSE(Emulator::isFullScreen());
    EXPECT_FALSE(window().snapshot().fullScreen);
    EXPECT_TRUE(window().snapshot().decorated);
    EXPECT_NE(out.str().find("Launching class: IdleMidlet"), std::string::npos);
    EXPECT_NE(out.str().find("MIDlet Stopped!"), std::string::npos);

    // What the next start reads.
    javax::microedition::rms::RecordStore::resetClassState();
    auto store = javax::microedition::rms::RecordStore::openRecordStore("emu_settings", false);
    ASSERT_EQ(store->getNumRecords(), 1);
    EXPECT_EQ(store->getRecord(1), std::vector<std::uint8_t>{0});
    TarvokinEmu::shared().fullScreen = true;
    emulator_->createScreen();
    EXPECT_FALSE(Emulator::isFullScreen());
}

}  // namespace
