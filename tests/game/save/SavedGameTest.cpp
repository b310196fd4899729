#include "game/save/SavedGame.h"

#include <signal.h>
#include <sys/wait.h>

#include <random>

#include "GameTestSupport.h"
#include "javax/microedition/rms/RecordStoreFile.h"

namespace {

using game::SavedGame;
using javax::microedition::rms::RecordStore;
using javax::microedition::rms::RecordStoreFile;
using Progress = game::format::Progress;

class Saves : public gametest::GameTest {
protected:
    // rms.dat as the file holds it now.
    static std::vector<RecordStoreFile::Store> fileStores() {
        auto contents = RecordStoreFile::emuReadWholeFile(RecordStoreFile::kFileName);
        return RecordStoreFile::parse(contents.bytes);
    }
    static const RecordStoreFile::Store* findStore(const std::vector<RecordStoreFile::Store>& stores, const char* name) {
        for (const auto& s : stores)
            if (s.name == name) return &s;
        return nullptr;
    }
    // A fresh process's view: the table is read from rms.dat again.
    static void restart() { RecordStore::resetClassState(); }
    static void writeStores(const std::vector<RecordStoreFile::Store>& stores) {
        gametest::writeFile(RecordStoreFile::kFileName, RecordStoreFile::serialize(stores));
        restart();
    }
    static Progress someProgress() {
        Progress p = SavedGame::defaultProgress();
        p.menuWorld = 2;
        p.totalStars = 7;
        p.unlockMask = 0b101;
        p.unlockCount = 2;
        p.levelGrade[5] = 4;
        p.levelScore[5] = 123456;
        p.progressFlags[32] = true;
        p.selectedLevel = 27;
        return p;
    }
};

TEST_F(Saves, ProgressRoundTripThroughTheFileAtItsOffsets) {
    EXPECT_EQ(SavedGame::loadProgress(), SavedGame::defaultProgress());  // nothing saved yet
    const Progress p = someProgress();
    ASSERT_TRUE(SavedGame::saveProgress(p));
    ASSERT_TRUE(SavedGame::saveProgress(p));  // saved again in place
    restart();
    EXPECT_EQ(SavedGame::loadProgress(), p);
    const auto stores = fileStores();
    const auto* g = findStore(stores, "g");
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->records.size(), 1u);
    const auto& r = g->records[0];
    ASSERT_EQ(r.size(), 184u);
    EXPECT_EQ(r[0], 2);
    EXPECT_EQ(r[1], 7);
    EXPECT_EQ(r[10 + 5], 4);                                            // grade of level 5
    EXPECT_EQ((r[38 + 4 * 5 + 1] << 16 | r[38 + 4 * 5 + 2] << 8 | r[38 + 4 * 5 + 3]), 123456);
    EXPECT_EQ(r[150 + 32], 1);
    EXPECT_EQ(r[183], 27);                                              // selected level
}

TEST_F(Saves, SettingsRoundTripAndApply) {
    EXPECT_EQ(SavedGame::loadSettings(), std::nullopt);
    ASSERT_TRUE(SavedGame::saveSettings({5, 0, true}));
    restart();
    const auto s = SavedGame::loadSettings();
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(*s, (game::format::Settings{5, 0, true}));
    SavedGame::applySettings(*s);
    EXPECT_EQ(SavedGame::currentSettings(), *s);
    EXPECT_TRUE(game::ScreenEffects::vibration());
    // Only 1 means on; volumes from a damaged record are clamped.
    writeStores({{"s", {{0, 0, 0, 9, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 2}}}});
    EXPECT_EQ(SavedGame::loadSettings(), (game::format::Settings{5, 0, false}));
}

TEST_F(Saves, DamagedRecordsGiveDefaultsAndKeepTheStore) {
    std::mt19937 random(7);
    for (std::size_t length = 0; length <= 200; ++length) {
        if (length == 184 || length == 12) continue;
        std::vector<std::uint8_t> bytes(length);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        writeStores({{"g", {bytes}}, {"s", {bytes}}});
        EXPECT_EQ(SavedGame::loadProgress(), SavedGame::defaultProgress()) << length;
        EXPECT_EQ(SavedGame::loadSettings(), std::nullopt) << length;
        const auto stores = fileStores();
        ASSERT_NE(findStore(stores, "g"), nullptr) << length;
        EXPECT_EQ(findStore(stores, "g")->records[0], bytes);
        EXPECT_EQ(findStore(stores, "s")->records[0], bytes);
    }
    // A store without a record 1.
    writeStores({{"g", {}}});
    EXPECT_EQ(SavedGame::loadProgress(), SavedGame::defaultProgress());
    ASSERT_TRUE(SavedGame::saveProgress(someProgress()));
    restart();
    EXPECT_EQ(SavedGame::loadProgress(), someProgress());
}

TEST_F(Saves, LoadedFieldsAreClampedToTheirRanges) {
    Progress p = someProgress();
    p.menuWorld = 0;
    p.totalStars = -5;
    p.unlockMask = 0x7FFF;  // beyond the nine items
    p.unlockCount = 2;      // disagrees with the mask
    p.levelGrade[1] = 0;
    p.levelGrade[2] = 9;
    p.levelGrade[3] = -1;
    p.levelScore[4] = -7;
    p.selectedLevel = 0;
    auto record = game::format::ProgressRecord::encode(p);
    writeStores({{"g", {record}}});
    const Progress loaded = SavedGame::loadProgress();
    EXPECT_EQ(loaded.menuWorld, 1);
    EXPECT_EQ(loaded.totalStars, 0);
    EXPECT_EQ(loaded.unlockMask, 0x1FF);
    EXPECT_EQ(loaded.unlockCount, 9);
    EXPECT_EQ(loaded.levelGrade[1], 1);
    EXPECT_EQ(loaded.levelGrade[2], 5);
    EXPECT_EQ(loaded.levelGrade[3], 0);
    EXPECT_EQ(loaded.levelScore[4], 0);
    EXPECT_EQ(loaded.selectedLevel, 1);
    record[183] = 200;
    writeStores({{"g", {record}}});
    EXPECT_EQ(SavedGame::loadProgress().selectedLevel, 27);
}

TEST_F(Saves, ResetDeletesOnlyOnThePlayersWord) {
    SavedGame::saveProgress(someProgress());
    Progress p = someProgress();
    SavedGame::resetProgress(p);
    EXPECT_EQ(p, SavedGame::defaultProgress());
    EXPECT_EQ(findStore(fileStores(), "g"), nullptr);
    SavedGame::resetProgress(p);  // nothing left to delete
    SavedGame::saveProgress(p);
    const auto stores = fileStores();
    ASSERT_NE(findStore(stores, "g"), nullptr);
    EXPECT_EQ(findStore(stores, "g")->records.size(), 1u);
}

TEST_F(Saves, LevelEndTable) {
    struct Case {
        int grade, nextGrade, result, stars, score;
        int expectedGrade, starsGained, expectedNext;
        bool improved;
    };
    const Case cases[] = {
        {1, 0, 1, 2, 50, 3, 2, 1, true},   // first finish opens the next level
        {3, 1, 1, 3, 50, 4, 1, 1, true},   // improve by one star
        {4, 0, 1, 1, 50, 4, 0, 1, false},  // no downgrade, but the next level still opens
        {0, 0, 1, 1, 50, 2, 1, 1, true},   // a locked level counts no stars of its own
        {2, 3, 2, 1, 50, 5, 0, 3, false},  // the finale gives 5; an open next level stays as it is
        {5, 0, 1, 3, 50, 5, 0, 1, false},  // the alternative ending stays
        {1, 0, 0, 0, 50, 1, 0, 1, false},  // a bonus level without stars
        {2, 0, 3, 3, 50, 2, 0, 0, false},  // the notices' confirmation grades nothing
    };
    for (const Case& c : cases) {
        Progress p = SavedGame::defaultProgress();
        p.levelGrade[4] = c.grade;
        p.levelGrade[5] = c.nextGrade;
        p.levelScore[4] = 60;
        p.totalStars = 10;
        const auto end = SavedGame::levelEnd(p, 4, c.result, c.stars, c.score);
        const std::string label = "grade " + std::to_string(c.grade) + " result " + std::to_string(c.result) +
                                  " stars " + std::to_string(c.stars);
        EXPECT_EQ(p.levelGrade[4], c.expectedGrade) << label;
        EXPECT_EQ(p.totalStars, 10 + c.starsGained) << label;
        EXPECT_EQ(p.levelGrade[5], c.expectedNext) << label;
        EXPECT_EQ(end.gradeImproved, c.improved) << label;
        EXPECT_EQ(end.nextState, SavedGame::kLevelSelectState) << label;
        EXPECT_EQ(p.levelScore[4], 60) << label;  // a lower score is not kept
    }
    Progress p = SavedGame::defaultProgress();
    SavedGame::levelEnd(p, 27, 1, 3, 900);  // the last level opens nothing
    EXPECT_EQ(p.levelScore[27], 900);
    EXPECT_EQ(p.levelGrade[27], 4);
    SavedGame::levelEnd(p, 99, 1, 3, 900);  // not a level: nothing happens
}

// Kills a process that saves over and over at random moments: the file
// always holds a whole record, the last one written or the one before.
TEST_F(Saves, ASaveSurvivesBeingKilledAtAnyMoment) {
    SavedGame::saveProgress(someProgress());
    std::mt19937 random(11);
    int interrupted = 0;  // kills that left a half-written file beside rms.dat
    for (int round = 0; round < 30; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Progress p = someProgress();
            for (int i = 0;; ++i) {
                p.levelScore[1] = i;
                SavedGame::saveProgress(p);
            }
        }
        usleep(200 + random() % 3000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        interrupted += std::filesystem::exists(std::string(RecordStoreFile::kFileName) + ".tmp");
        restart();
        const auto stores = fileStores();
        const auto* g = findStore(stores, "g");
        ASSERT_NE(g, nullptr) << round;
        ASSERT_EQ(g->records.size(), 1u) << round;
        ASSERT_EQ(g->records[0].size(), 184u) << round;
        Progress loaded = SavedGame::loadProgress();
        loaded.levelScore[1] = 0;
        Progress expected = someProgress();
        expected.levelScore[1] = 0;
        EXPECT_EQ(loaded, expected) << round;
    }
    std::printf("%d of 30 kills interrupted a write\n", interrupted);
}

}  // namespace
