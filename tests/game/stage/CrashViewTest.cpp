// The crash stage played alone through the headless driver (-MIDletClass
// CrashView): a passed level is saved with the next level open, a failed
// one offers the retry.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/format/ProgressRecord.h"
#include "javax/microedition/rms/RecordStoreFile.h"
#include "support/Subprocess.h"

namespace {

using javax::microedition::rms::RecordStoreFile;

class CrashViewProgram : public ::testing::Test {
protected:
    void SetUp() override { dir_ = testsupport::makeTempDir("crashview"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    testsupport::ProcessResult drive(int frames, const std::string& script, std::map<std::string, std::string> env) {
        std::ofstream(dir_ + "/input.txt") << script;
        testsupport::ProcessOptions options;
        options.timeoutMs = 300000;  // sanitizer builds on a busy machine
        options.env = std::move(env);
        options.env["TIDEPOOL_LEVEL"] = "1";
        options.env["TIDEPOOL_SEED"] = "5";
        return testsupport::runProcess(TIDEPOOL_DRIVER,
                                       {"--frames", std::to_string(frames), "--data", dir_ + "/data", "--script", dir_ + "/input.txt",
                                        "--", "-MIDletClass", "CrashView"},
                                       options);
    }
    std::string dir_;
};

// One launch, FIRE to take off, then FIRE on the results; with the goal
// set to 0 a launch that breaks nothing passes.
TEST_F(CrashViewProgram, APassedLevelIsSavedWithTheNextLevelOpen) {
    const auto r = drive(540, "80 key down Return\n82 key up Return\n530 key down Return\n532 key up Return\n",
                         {{"TIDEPOOL_LAUNCHES", "1"}, {"TIDEPOOL_TARGET", "0"}});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("crash phase 7\ncrash phase 3\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("level 1 ended: result 1, stars 1, score 0, next level opened, saved"), std::string::npos) << r.out;
    const auto stores = RecordStoreFile::parse(RecordStoreFile::emuReadWholeFile(dir_ + "/data/rms.dat").bytes);
    ASSERT_EQ(stores.size(), 1u);
    ASSERT_EQ(stores[0].name, "g");
    const auto progress = game::format::ProgressRecord::decode(stores[0].records.at(0));
    EXPECT_EQ(progress.levelGrade[1], 2);
    EXPECT_EQ(progress.levelGrade[2], 1);
    EXPECT_EQ(progress.totalStars, 1);
}

TEST_F(CrashViewProgram, NothingBankedFailsAndFireRetries) {
    const auto r = drive(140, "120 key down Return\n122 key up Return\n", {{"TIDEPOOL_LAUNCHES", "0"}});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("crash phase 2\ncrash phase 6\ncrash phase 0\n"), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/data/rms.dat"));
}

}  // namespace
