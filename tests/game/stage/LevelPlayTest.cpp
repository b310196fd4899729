// A whole level played through the headless driver from a fresh data
// folder: the sound question, the menus, the level select, the swing stage
// and the crash stage, with nothing but FIRE pressed now and then, end back
// in the level select with level 1 finished and level 2 open.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "game/format/ProgressRecord.h"
#include "javax/microedition/rms/RecordStoreFile.h"
#include "support/Subprocess.h"

namespace {

using javax::microedition::rms::RecordStoreFile;

TEST(LevelPlay, LevelOneFromTheMenusToItsResultsAndBackToTheLevelSelect) {
    const std::string dir = testsupport::makeTempDir("levelplay");
    // Yes to sound at frame 13, then FIRE every 40 frames: through the
    // menus and the story, the bat's swings, each take-off and the results.
    std::string script = "13 key down Return\n14 key up Return\n";
    constexpr int kFrames = 6000;
    for (int f = 400; f < kFrames; f += 40) script += std::to_string(f) + " key down Return\n" + std::to_string(f + 2) + " key up Return\n";
    std::ofstream(dir + "/input.txt") << script;
    testsupport::ProcessOptions options;
    options.timeoutMs = 300000;
    const auto r = testsupport::runProcess(
        TIDEPOOL_DRIVER, {"--frames", std::to_string(kFrames), "--data", dir + "/data", "--script", dir + "/input.txt"}, options);
    ASSERT_EQ(r.exitStatus, 0) << r.err;

    // The first crash stage that is left goes to the level select (13), not
    // back to the swing stage as a failed one would.
    const std::regex left("state \\d+ 1002 1000\nstate \\d+ 1000 (\\d+)\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, left)) << r.out;
    EXPECT_EQ(m[1].str(), "13");
    EXPECT_LT(r.out.find(" 1000 1001\n"), static_cast<std::size_t>(m.position(0)));

    const auto stores = RecordStoreFile::parse(RecordStoreFile::emuReadWholeFile(dir + "/data/rms.dat").bytes);
    const auto g = std::find_if(stores.begin(), stores.end(), [](const auto& s) { return s.name == "g"; });
    ASSERT_NE(g, stores.end());
    const auto progress = game::format::ProgressRecord::decode(g->records.at(0));
    EXPECT_GE(progress.levelGrade[1], 2);  // finished
    EXPECT_GE(progress.levelGrade[2], 1);  // open
    std::filesystem::remove_all(dir);
}

}  // namespace
