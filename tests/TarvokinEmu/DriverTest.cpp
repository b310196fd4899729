// The headless driver: scripted input, fixed-step frames, screenshots.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/Subprocess.h"

namespace {

using testsupport::runProcess;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Driver : public ::testing::Test {
protected:
    void SetUp() override { dir_ = testsupport::makeTempDir("driver"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir_ + "/" + name) << text;
        return dir_ + "/" + name;
    }
    std::string dir_;
};

TEST_F(Driver, SameInputsGiveTheSameFramesAndCalls) {
    auto script = write("input.txt",
                        "# arrows, a click and the wheel\n"
                        "2 key down Up\n3 key up Up\n4 key down KP_5\n4 key up KP_5\n"
                        "5 mouse move 400 300\n6 mouse down left 400 300\n7 mouse move 410 305\n"
                        "8 mouse up left 410 305\n9 wheel down\n");
    std::string outputs[2], shots[2];
    for (int run = 0; run < 2; ++run) {
        std::string shot = dir_ + "/shot" + std::to_string(run) + ".png";
        auto r = runProcess(TIDEPOOL_DRIVER, {"--frames", "12", "--script", script, "--shot", "12:" + shot,
                                              "--data", dir_ + "/data" + std::to_string(run), "--",
                                              "-MIDletClass", "TestCard"});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        outputs[run] = r.out;
        shots[run] = readFile(shot);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    ASSERT_GT(shots[0].size(), 100u);
    EXPECT_EQ(shots[0], shots[1]);
    EXPECT_NE(outputs[0].find("keyPressed -1\nkeyReleased -1\nkeyPressed 53\nkeyReleased 53\n"
                              "pointerDragged 400 300\ndesktopMousePressed 400 300 false\n"
                              "pointerDragged 410 305\ndesktopMouseReleased 410 305 false\n"
                              "desktopMouseWheel 410 305 false\n"),
              std::string::npos)
        << outputs[0];
    EXPECT_NE(outputs[0].find("frames 12\n"), std::string::npos);
}

TEST_F(Driver, BadScriptsAreRefusedWithTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"1 key down NoSuchKey\n", "line 1: unknown key NoSuchKey"},
        {"1 key up Up\nx mouse move 1 2\n", "line 2: bad frame number x"},
        {"5 key up Up\n4 key up Up\n", "line 2: frames must not go back"},
        {"1 mouse down thumb 1 2\n", "line 1: unknown button thumb"},
        {"1 wheel sideways\n", "line 1: cannot read"},
    };
    for (auto& [text, message] : cases) {
        auto r = runProcess(TIDEPOOL_DRIVER, {"--frames", "1", "--script", write("bad.txt", text)});
        EXPECT_EQ(r.exitStatus, 2) << text;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
}

}  // namespace
