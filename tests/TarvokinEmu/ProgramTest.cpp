// The program as a player starts it: a child process on SDL's dummy video
// driver (and, where an X server can be started, under Xvfb).
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/Subprocess.h"

namespace {

using testsupport::ProcessOptions;
using testsupport::runProcess;

const std::vector<std::string> kBanner = {
    " ", "TarvokinEmu v2.1 - Rev.5", "-------------------------", " ", "usage:",
    "java Launch -canvas 240 320 -zoom 1 -softkeys -21 -22 -font SI-SL55 -keymap SI-SL55", " "};

class Program : public ::testing::Test {
protected:
    void SetUp() override { dir_ = testsupport::makeTempDir("prog"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    ProcessOptions options() {
        ProcessOptions o;
        o.workDir = dir_;
        o.env = {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}};
        return o;
    }
    // Stopped a second after it printed this, to see that it was still
    // running then; the limit only ends a run that never printed it.
    ProcessOptions stillRunningAfter(const std::string& text) {
        ProcessOptions o = options();
        o.timeoutMs = 60000;
        o.killWhenOutputHas = text;
        o.killDelayMs = 1000;
        o.killSignal = SIGKILL;  // not the stop a program may answer itself
        return o;
    }
    std::string dir_;
};

TEST_F(Program, MissingClassPrintsStartLinesAndExitsMinusTwo) {
    auto r = runProcess(EMULATOR_HARNESS, {"-MIDletClass", "NoSuchClass", "-canvas", "240", "320", "-zoom", "2"},
                        options());
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 254);
    auto lines = r.outLines();
    ASSERT_GE(lines.size(), kBanner.size() + 8);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7), kBanner);
    std::vector<std::string> config(lines.begin() + 7, lines.begin() + 15);
    EXPECT_EQ(config, (std::vector<std::string>{"Current configuration:", "----------------------", "Canvas: 240x320",
                                                 "Zoom: x2", "Softkeys: (-6)(-7)", "Font: NK-6600", "Keymap: Generic",
                                                 " "}));
    std::vector<std::string> tail(lines.end() - 5, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{" ", " ", "Starting MIDlet", "---------------",
                                               "Launching class: NoSuchClass"}));
    EXPECT_NE(r.err.find("java.lang.ClassNotFoundException: NoSuchClass"), std::string::npos);
}

TEST_F(Program, FailingStartExitsMinusThree) {
    auto r = runProcess(EMULATOR_HARNESS, {"-MIDletClass", "FailingStart"}, options());
    EXPECT_EQ(r.exitStatus, 253);
    EXPECT_NE(r.err.find("java.lang.IllegalStateException: start refused"), std::string::npos);
}

TEST_F(Program, MissingManifestStartsNothingAndKeepsTheWindow) {
    auto o = stillRunningAfter("META-INF/MANIFEST.MF\n");
    auto r = runProcess(EMULATOR_HARNESS, {}, o);
    EXPECT_EQ(r.signal, o.killSignal);  // the empty window stays open
    auto lines = r.outLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "META-INF/MANIFEST.MF");
}

TEST_F(Program, ManifestInTheWorkingDirectoryNamesTheClass) {
    std::filesystem::create_directories(dir_ + "/META-INF");
    std::ofstream(dir_ + "/META-INF/MANIFEST.MF") << "Manifest-Version: 1.0\r\nMIDlet-1: Probe, /i.png, FailingStart\r\n";
    auto r = runProcess(EMULATOR_HARNESS, {}, options());
    EXPECT_EQ(r.exitStatus, 253);
    EXPECT_NE(r.out.find("Launching class: FailingStart"), std::string::npos);
}

TEST_F(Program, WindowedChoiceSurvivesARestartAndStopsWithStatusZero) {
    auto r = runProcess(EMULATOR_HARNESS, {"-MIDletClass", "GoWindowed"}, options());
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.out.find("fullScreen=false"), std::string::npos);
    EXPECT_NE(r.out.find("MIDlet Stopped!\n===============\n \n"), std::string::npos);
    // The settings store holds one record with one byte: 0.
    auto dump = runProcess(TARVOKIN_TOOL, {"rms", "dump", dir_ + "/rms.dat"});
    EXPECT_EQ(dump.exitStatus, 0) << dump.err;
    EXPECT_NE(dump.out.find("emu_settings"), std::string::npos);

    r = runProcess(EMULATOR_HARNESS, {"-MIDletClass", "GoFullScreen"}, options());
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.out.find("fullScreen=true"), std::string::npos);
}

TEST_F(Program, TestCardRunsFramesUntilStopped) {
    auto o = stillRunningAfter("startApp\nshowNotify\n");
    auto r = runProcess(TIDEPOOL_BINARY, {"-MIDletClass", "TestCard", "-debug"}, o);
    EXPECT_NE(r.out.find("startApp\nshowNotify\n"), std::string::npos);
    EXPECT_EQ(r.signal, o.killSignal);
}

}  // namespace
