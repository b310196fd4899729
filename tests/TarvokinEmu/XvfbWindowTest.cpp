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
    // A deadline rather than a count of tries: each try is slow on a busy machine.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        auto r = runProcess("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", title, "getwindowgeometry"}, o);
        std::smatch m;
        static const std::regex geometry("Geometry: ([0-9]+x[0-9]+)");
        if (std::regex_search(r.out, m, geometry)) return m[1];
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

// Sends X input to the window with this title.
void xdotool(const std::string& display, const std::vector<std::string>& args) {
    testsupport::ProcessOptions o;
    o.env = {{"DISPLAY", display}};
    runProcess("/usr/bin/xdotool", args, o);
}

// Ends a test card run that was started with endsOnKey(): its window gets a key.
void pressKeyInCard(const std::string& display) {
    xdotool(display, {"search", "--name", "Tidepool Dash", "windowfocus", "--sync"});
    xdotool(display, {"key", "a"});
}

// A private X server at 1280 x 1024 and a scratch working directory; the
// options run the program on that display.
class XvfbWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "xdotool is not installed";
        server_ = std::make_unique<testsupport::Xvfb>("1280x1024x24");
        if (!server_->available()) GTEST_SKIP() << "Xvfb is not available";
        dir_ = testsupport::makeTempDir("xvfb");
        o.workDir = dir_;
        o.env = {{"DISPLAY", server_->display()}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}};
    }
    void TearDown() override {
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }
    const std::string& display() const { return server_->display(); }
    // The run ends once its window got the key pressKeyInCard() sends; the
    // limit only stops a run that lost it, so a slow start on a busy machine
    // still gets its window looked at.
    testsupport::ProcessOptions endsOnKey() const {
        testsupport::ProcessOptions card = o;
        card.timeoutMs = 60000;
        card.killWhenOutputHas = "keyReleased 65";
        return card;
    }

    std::unique_ptr<testsupport::Xvfb> server_;
    std::string dir_;
    testsupport::ProcessOptions o;
};

TEST_F(XvfbWindow, FirstRunIsFullScreenThenWindowedAtTheZoomedSize) {
    // No settings yet: full screen, covering the whole display.
    auto first = std::async(std::launch::async, [&] {
        return runProcess(TIDEPOOL_BINARY, {"-MIDletClass", "TestCard"}, endsOnKey());
    });
    EXPECT_EQ(windowGeometry(display(), "Tidepool Dash"), "1280x1024");
    pressKeyInCard(display());
    EXPECT_FALSE(first.get().timedOut);

    // The application leaves full screen; the choice is saved.
    o.timeoutMs = 60000;
    auto switched = runProcess(EMULATOR_HARNESS, {"-MIDletClass", "GoWindowed"}, o);
    EXPECT_EQ(switched.exitStatus, 0) << switched.out << switched.err;

    auto second = std::async(std::launch::async, [&] {
        return runProcess(TIDEPOOL_BINARY, {"-MIDletClass", "TestCard", "-canvas", "240", "320", "-zoom", "2"},
                          endsOnKey());
    });
    EXPECT_EQ(windowGeometry(display(), "Tidepool Dash"), "480x640");
    pressKeyInCard(display());
    auto r = second.get();
    EXPECT_FALSE(r.timedOut);
    EXPECT_NE(r.out.find("Zoom: x2"), std::string::npos);
}

TEST_F(XvfbWindow, KeysAndMouseFromAnXClientReachTheTestCard) {
    o.timeoutMs = 60000;
    ASSERT_EQ(runProcess(EMULATOR_HARNESS, {"-MIDletClass", "GoWindowed"}, o).exitStatus, 0);

    // Ended by the last key; the limit only stops a run that lost it.
    o.timeoutMs = 60000;
    o.killWhenOutputHas = "keyReleased 122";
    auto card = std::async(std::launch::async, [&] {
        return runProcess(TIDEPOOL_BINARY, {"-MIDletClass", "TestCard", "-canvas", "240", "320", "-zoom", "2"}, o);
    });
    ASSERT_EQ(windowGeometry(display(), "Tidepool Dash"), "480x640");
    const std::string d = display();
    // Without a window manager the window sits at the centre of the screen.
    const int left = (1280 - 480) / 2, top = (1024 - 640) / 2;
    xdotool(d, {"search", "--name", "Tidepool Dash", "windowfocus", "--sync"});
    xdotool(d, {"key", "--delay", "30", "Up", "Return", "space", "Escape", "KP_5", "5", "a", "shift", "ctrl", "alt", "F1", "F12"});
    xdotool(d, {"mousemove", "--sync", std::to_string(left + 21), std::to_string(top + 41)});
    xdotool(d, {"click", "1"});
    xdotool(d, {"click", "3"});
    xdotool(d, {"click", "2"});
    xdotool(d, {"click", "4"});
    xdotool(d, {"mousemove", "--sync", std::to_string(left + 2000), std::to_string(top + 2000)});
    xdotool(d, {"key", "F11"});
    auto r = card.get();
    auto has = [&](const std::string& line) { return r.out.find("\n" + line + "\n") != std::string::npos; };
    for (const char* line : {"keyPressed -1", "keyReleased -1", "keyPressed -5", "keyReleased -5", "keyPressed -6",
                             "keyPressed 53", "keyReleased 53", "keyPressed 65", "keyReleased 65", "keyPressed 16",
                             "keyReleased 16", "keyPressed 17", "keyPressed 18", "keyPressed 112", "keyPressed 123",
                             "pointerDragged 10 20", "desktopMousePressed 10 20 false",
                             "desktopMouseReleased 10 20 false", "desktopMousePressed 10 20 true",
                             "desktopMouseWheel 10 20 true", "pointerDragged 239 319", "keyPressed 122"})
        EXPECT_TRUE(has(line)) << line << "\n" << r.out;
    EXPECT_FALSE(has("keyPressed 5")) << "main-keyboard digits give nothing";
    EXPECT_EQ(r.out.find("desktopMousePressed 10 20 false\ndesktopMouseReleased 10 20 false\ndesktopMousePressed 10 20 true"),
              r.out.find("desktopMousePressed 10 20 false")) << "middle button gives nothing";
}

// One focus change on a real X server is one hideNotify or one showNotify,
// although the window system reports each as two events.
TEST_F(XvfbWindow, OneFocusChangeGivesOneNotify) {
    o.timeoutMs = 60000;
    o.killWhenOutputHas = "keyReleased 65";
    auto card = std::async(std::launch::async, [&] { return runProcess(TIDEPOOL_BINARY, {"-MIDletClass", "TestCard"}, o); });
    ASSERT_NE(windowGeometry(display(), "Tidepool Dash"), "");
    const std::string d = display();
    testsupport::ProcessOptions x;
    x.env = {{"DISPLAY", d}};
    std::smatch m;
    const std::string rootInfo = runProcess("/usr/bin/xwininfo", {"-root"}, x).out;
    ASSERT_TRUE(std::regex_search(rootInfo, m, std::regex("Window id: (0x[0-9a-f]+)"))) << rootInfo;
    const std::string root = m[1];
    // Apart by more than the shell's 50 ms filter, so each change counts.
    auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(400)); };
    pause();
    xdotool(d, {"search", "--name", "Tidepool Dash", "windowfocus", "--sync"});
    pause();
    xdotool(d, {"windowfocus", "--sync", root});
    pause();
    xdotool(d, {"search", "--name", "Tidepool Dash", "windowfocus", "--sync"});
    pause();
    xdotool(d, {"key", "a"});
    auto r = card.get();
    const auto lost = r.out.find("hideNotify\n");
    ASSERT_NE(lost, std::string::npos) << r.out;
    const std::string after = r.out.substr(lost);
    auto count = [&](const std::string& line) {
        int n = 0;
        for (auto at = after.find(line); at != std::string::npos; at = after.find(line, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("hideNotify"), 1) << r.out;
    EXPECT_EQ(count("showNotify"), 1) << r.out;
}

// Losing the display ends the program with its own status and one line,
// after the game was stopped the way closing the window stops it; the saves
// it was writing stay whole.
TEST_F(XvfbWindow, LosingTheDisplayStopsTheGameAndKeepsItsSaves) {
    o.timeoutMs = 60000;
    auto run = std::async(std::launch::async, [&] { return runProcess(EMULATOR_HARNESS, {"-MIDletClass", "Saver"}, o); });
    ASSERT_NE(windowGeometry(display(), "Tidepool Dash"), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    server_->kill();
    auto r = run.get();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exitStatus, 2) << r.out << r.err;
    EXPECT_NE(r.out.find("destroyApp"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("The display went away"), std::string::npos) << r.err;

    testsupport::ProcessOptions check;
    check.workDir = dir_;
    auto dump = runProcess(TARVOKIN_TOOL, {"rms", "dump", "rms.dat"}, check);
    EXPECT_EQ(dump.exitStatus, 0) << dump.out << dump.err;
    EXPECT_NE(dump.out.find("\"t\", 1 record"), std::string::npos) << dump.out;
}

}  // namespace
