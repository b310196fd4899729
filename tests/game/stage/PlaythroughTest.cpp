// The shipped levels proven playable: the solver passes every level
// without unlocks, and the committed playthrough, run by the driver from
// an empty data folder, leaves every level finished in rms.dat, as the
// game's save code and an independent reader of the file both read it.
// Under the sanitizers a few levels' worth of each run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "game/format/ProgressRecord.h"
#include "javax/microedition/rms/RecordStoreFile.h"
#include "support/Subprocess.h"

namespace {

using javax::microedition::rms::RecordStoreFile;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kLevelsChecked = 2;
#else
constexpr int kLevelsChecked = 27;
#endif

// TIDEPOOL_LEVELS_CHECKED=N checks the first N levels only, for a level
// designer's quick round.
int levelsChecked() {
    const char* n = std::getenv("TIDEPOOL_LEVELS_CHECKED");
    return n ? std::clamp(std::atoi(n), 1, kLevelsChecked) : kLevelsChecked;
}

TEST(LevelSolver, EveryShippedLevelPassesWithoutUnlocks) {
    std::string unpassable;
    for (int level = 1; level <= levelsChecked(); ++level) {
        testsupport::ProcessOptions options;
        options.timeoutMs = 120000;
        const auto r = testsupport::runProcess(TIDEPOOL_SOLVER, {"level", std::to_string(level)}, options);
        const std::regex line("level " + std::to_string(level) + " unlocks 0x0 passed (yes|no) grade (\\d+)");
        std::smatch m;
        ASSERT_TRUE(std::regex_search(r.out, m, line)) << r.out << r.err;
        if (m[1] == "no" || std::stoi(m[2]) < 2) unpassable += " " + std::to_string(level);
    }
    EXPECT_EQ(unpassable, "") << "levels the solver cannot pass without unlocks";
}

TEST(Playthrough, FromAnEmptyDataFolderFinishesEveryLevel) {
    std::ifstream in(PLAYTHROUGH_SCRIPT);
    ASSERT_TRUE(in) << PLAYTHROUGH_SCRIPT;
    // The script's notes say where each level was finished; the run stops
    // a few frames after the last level checked.
    std::string script, text;
    int frames = 0;
    const std::regex finished("# level (\\d+) finished at frame (\\d+)");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (frames == 0) script += line + "\n";
        if (std::regex_match(line, m, finished) && std::stoi(m[1]) == levelsChecked()) frames = std::stoi(m[2]) + 2;
    }
    ASSERT_GT(frames, 0) << "the playthrough does not reach level " << levelsChecked();
    const std::string dir = testsupport::makeTempDir("playthrough");
    std::ofstream(dir + "/input.txt") << script;
    testsupport::ProcessOptions options;
    options.timeoutMs = 600000;
    const auto r = testsupport::runProcess(
        TIDEPOOL_DRIVER, {"--step", "21", "--frames", std::to_string(frames), "--data", dir + "/data", "--script", dir + "/input.txt"},
        options);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    // It ends in the level select.
    EXPECT_NE(r.out.rfind(" 13\n"), std::string::npos);
    EXPECT_GT(r.out.rfind(" 13\n"), r.out.rfind("state "));

    const std::string rms = dir + "/data/rms.dat";
    const auto stores = RecordStoreFile::parse(RecordStoreFile::emuReadWholeFile(rms).bytes);
    const auto g = std::find_if(stores.begin(), stores.end(), [](const auto& s) { return s.name == "g"; });
    ASSERT_NE(g, stores.end());
    const auto progress = game::format::ProgressRecord::decode(g->records.at(0));
    const auto reader = testsupport::runProcess("/usr/bin/env", {"python3", READ_RMS, rms});
    ASSERT_EQ(reader.exitStatus, 0) << reader.err;
    std::ostringstream expected;
    for (int level = 1; level <= game::format::Progress::kLevels; ++level) {
        const int grade = progress.levelGrade[static_cast<std::size_t>(level)];
        if (level <= levelsChecked()) {
            EXPECT_GE(grade, 2) << "level " << level << " not finished";
        }
        expected << "level " << level << " grade " << grade << "\n";
    }
    EXPECT_EQ(reader.out, expected.str());
    std::filesystem::remove_all(dir);
}

}  // namespace
