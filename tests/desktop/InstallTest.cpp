// The game installed under a prefix, as `cmake --install` lays it out, and
// started from another folder through its launcher.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include <unistd.h>

#include "support/Subprocess.h"
#include "support/Xvfb.h"

namespace {

namespace fs = std::filesystem;
using testsupport::runProcess;

// Width and height from a PNG's header; 0 x 0 when it is not one.
std::pair<int, int> pngSize(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    unsigned char h[24] = {};
    if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[1] != 'P' || h[12] != 'I') return {0, 0};
    auto be = [&](int at) { return h[at] << 24 | h[at + 1] << 16 | h[at + 2] << 8 | h[at + 3]; };
    return {be(16), be(20)};
}

class Install : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = testsupport::makeTempDir("install");
        prefix_ = root_ + "/prefix";
        testsupport::ProcessOptions o;
        o.timeoutMs = 60000;
        auto r = runProcess(CMAKE_COMMAND, {"--install", BUILD_DIR, "--prefix", prefix_}, o);
        ASSERT_EQ(r.exitStatus, 0) << r.out << r.err;
    }
    void TearDown() override { fs::remove_all(root_); }
    std::string root_, prefix_;
};

TEST_F(Install, LaysOutProgramDataIconsAndAValidMenuEntry) {
    for (const char* file : {"bin/tidepool-dash", "libexec/tidepool-dash/tidepool-dash", "share/tidepool-dash/r1",
                             "share/tidepool-dash/l0_0", "share/tidepool-dash/META-INF/MANIFEST.MF"})
        EXPECT_TRUE(fs::is_regular_file(prefix_ + "/" + file)) << file;
    EXPECT_FALSE(fs::is_empty(prefix_ + "/share/tidepool-dash/TarvokinEmuFonts"));
    for (int size : {32, 48, 64, 128, 256}) {
        const std::string dim = std::to_string(size) + "x" + std::to_string(size);
        EXPECT_EQ(pngSize(prefix_ + "/share/icons/hicolor/" + dim + "/apps/tidepool-dash.png"),
                  std::make_pair(size, size)) << dim;
    }

    const std::string id = "io.github.tidepooldash.TidepoolDash";
    struct Validator {
        const char* program;
        std::vector<std::string> args;
    };
    for (const Validator& v : {Validator{"/usr/bin/desktop-file-validate", {prefix_ + "/share/applications/" + id + ".desktop"}},
                               Validator{"/usr/bin/appstreamcli", {"validate", "--no-net", "--explain",
                                                                   prefix_ + "/share/metainfo/" + id + ".metainfo.xml"}}}) {
        if (access(v.program, X_OK) != 0) {
            ADD_FAILURE() << v.program << " is not installed (scripts/install-deps.sh installs it)";
            continue;
        }
        auto r = runProcess(v.program, v.args);
        EXPECT_EQ(r.exitStatus, 0) << v.program << "\n" << r.out << r.err;
    }
}

TEST_F(Install, LauncherBootsTheGameFromElsewhereAndSavesInTheXdgDataFolder) {
    if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "xdotool is not installed";
    testsupport::Xvfb server("1024x768x24");
    if (!server.available()) GTEST_SKIP() << "Xvfb is not available";
    const std::string elsewhere = root_ + "/elsewhere", xdg = root_ + "/xdg";
    fs::create_directories(elsewhere);

    testsupport::ProcessOptions o;
    o.workDir = elsewhere;
    o.env = {{"DISPLAY", server.display()}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"},
             {"HOME", root_ + "/home"}, {"XDG_DATA_HOME", xdg}};
    o.timeoutMs = 20000;
    auto run = std::async(std::launch::async, [&] { return runProcess(prefix_ + "/bin/tidepool-dash", {}, o); });

    // F11 leaves full screen, and the program saves that choice.
    const fs::path saves = xdg + "/tidepool-dash/rms.dat";
    testsupport::ProcessOptions x;
    x.env = {{"DISPLAY", server.display()}};
    x.timeoutMs = 2000;
    for (int i = 0; i < 100 && !fs::exists(saves); ++i) {
        runProcess("/usr/bin/xdotool", {"search", "--name", "Tidepool Dash", "windowfocus", "--sync", "key", "F11"}, x);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    EXPECT_TRUE(fs::exists(saves));
    EXPECT_TRUE(fs::is_empty(elsewhere));
    server.kill();
    auto r = run.get();

    // The manifest named the game's class, and its fonts and pictures loaded.
    EXPECT_NE(r.out.find("Launching class: "), std::string::npos) << r.out;
    for (const char* trouble : {"not loaded", "Couldn't find", "Beep a null pointer!", "Exception"})
        EXPECT_EQ((r.out + r.err).find(trouble), std::string::npos) << trouble << "\n" << r.out << r.err;
}

}  // namespace
