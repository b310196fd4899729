// The program's window on a real X server.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <regex>
#include <thread>

#include <unistd.h>

#include "support/Subprocess.h"
#include "support/Xvfb.h"

namespace {

using testsupport::runProcess;

// Polls xdotool for the geometry of the window with this title.
std::string windowGeometry(const std::string& display, const std::string& title) {
    testsupport::ProcessOptions o;
    o.env = {{"DISPLAY", display}};
    o.timeoutMs = 2000;
    for (int i = 0; i < 60; ++i) {
        auto r = runProcess("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", title, "getwindowgeometry"}, o);
        std::smatch m;
        static const std::regex geometry("Geometry: ([0-9]+x[0-9]+)");
        if (std::regex_search(r.out, m, geometry)) return m[1];
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

TEST(XvfbWindow, FirstRunIsFullScreenThenWindowedAtTheZoomedSize) {
    if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "xdotool is not installed";
    testsupport::Xvfb x("1280x1024x24");
    if (!x.available()) GTEST_SKIP() << "Xvfb is not available";
    std::string dir = testsupport::makeTempDir("xvfb");
    testsupport::ProcessOptions o;
    o.workDir = dir;
    o.env = {{"DISPLAY", x.display()}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}};
    o.timeoutMs = 4000;

    // No settings yet: full screen, covering the whole display.
    auto first = std::async(std::launch::async, [&] { return runProcess(TIDEPOOL_BINARY, {"-MIDletClass", "TestCard"}, o); });
    EXPECT_EQ(windowGeometry(x.display(), "Tidepool Dash"), "1280x1024");
    first.get();

    // The application leaves full screen; the choice is saved.
    o.timeoutMs = 15000;
    auto switched = runProcess(EMULATOR_HARNESS, {"-MIDletClass", "GoWindowed"}, o);
    EXPECT_EQ(switched.exitStatus, 0) << switched.out << switched.err;

    o.timeoutMs = 4000;
    auto second = std::async(std::launch::async, [&] {
        return runProcess(TIDEPOOL_BINARY, {"-MIDletClass", "TestCard", "-canvas", "240", "320", "-zoom", "2"}, o);
    });
    EXPECT_EQ(windowGeometry(x.display(), "Tidepool Dash"), "480x640");
    auto r = second.get();
    EXPECT_NE(r.out.find("Zoom: x2"), std::string::npos);
    std::filesystem::remove_all(dir);
}

}  // namespace
