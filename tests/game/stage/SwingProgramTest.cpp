// The swing stage in the running game, driven headless: from the level
// select into a level whose bat reaches its characters, FIRE pressed now
// and then banks launches until the queue is empty and the crash stage
// loads; and SwingView, the stage on its own, says how it ended.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "game/format/ProgressRecord.h"
#include "game/save/SavedGame.h"
#include "javax/microedition/rms/RecordStoreFile.h"
#include "support/Subprocess.h"

namespace {

using javax::microedition::rms::RecordStoreFile;

class SwingProgram : public ::testing::Test {
protected:
    void SetUp() override { dir_ = testsupport::makeTempDir("swing"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // FIRE pressed and released every 20 frames from `from` on; a beat in step
    // with the drop can miss every character, and misses are dropped again.
    static std::string fireEvery20(int from, int to) {
        std::string s;
        for (int f = from; f < to; f += 20) s += std::to_string(f) + " key down Return\n" + std::to_string(f + 2) + " key up Return\n";
        return s;
    }
    testsupport::ProcessResult drive(int frames, const std::string& script, std::vector<std::string> more = {},
                                     testsupport::ProcessOptions options = {}) {
        std::ofstream(dir_ + "/input.txt") << script;
        std::vector<std::string> args = {"--frames", std::to_string(frames), "--data", dir_ + "/data", "--script", dir_ + "/input.txt"};
        args.insert(args.end(), more.begin(), more.end());
        options.timeoutMs = 300000;  // sanitizer builds on a busy machine
        return testsupport::runProcess(TIDEPOOL_DRIVER, args, options);
    }
    std::string dir_;
};

TEST_F(SwingProgram, FromTheLevelSelectToTheCrashStage) {
    // Saved progress with level 4 open and selected.
    game::format::Progress p = game::SavedGame::defaultProgress();
    for (int l = 1; l <= 4; ++l) p.levelGrade[static_cast<std::size_t>(l)] = 1;
    p.selectedLevel = 4;
    std::filesystem::create_directories(dir_ + "/data");
    const std::vector<RecordStoreFile::Store> stores = {{"g", {game::format::ProgressRecord::encode(p)}}};
    RecordStoreFile::writeAtomically(dir_ + "/data/rms.dat", RecordStoreFile::serialize(stores));

    // The sound question at frame 13, then FIRE through the menus and play.
    const auto r = drive(2400, "13 key down Return\n14 key up Return\n" + fireEvery20(400, 2400));
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const std::size_t swing = r.out.find(" 1000 1001\n");
    ASSERT_NE(swing, std::string::npos) << r.out;
    const std::string after = r.out.substr(swing);
    // The stage hands its launches on, and the crash stage loads.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(after, m, std::regex("state \\d+ 1001 1000\nswing stage left with (\\d+) launches[^\n]*\nstate \\d+ 1000 (\\d+)\n")))
        << after;
    EXPECT_GE(std::stoi(m[1].str()), 1);
    EXPECT_EQ(m[2].str(), "1002");
}

TEST_F(SwingProgram, SwingViewSaysHowTheStageEnded) {
    testsupport::ProcessOptions options;
    options.env = {{"TIDEPOOL_LEVEL", "4"}, {"TIDEPOOL_SEED", "7"}};
    const auto r = drive(1500, fireEvery20(40, 1500), {"--", "-MIDletClass", "SwingView"}, options);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, std::regex("swing stage ended with (\\d+) launches"))) << r.out;
    EXPECT_GE(std::stoi(m[1].str()), 1);
}

}  // namespace
