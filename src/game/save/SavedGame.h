// The player's saved progress (record store "g") and settings (store "s"),
// and what a finished level does to the progress.
//
// Saving never deletes: record 1 is overwritten in place when it exists and
// added otherwise, and the runtime replaces rms.dat whole and atomically,
// so a crash at any point leaves either the old or the new record. A record
// that cannot be read gives defaults in memory and the store is left as it
// is; every field read is clamped to its range. Frame thread only.
#pragma once

#include <optional>
#include <string>

#include "game/format/ProgressRecord.h"

namespace game {

class SavedGame {
public:
    using Progress = format::Progress;
    using Settings = format::Settings;

    static constexpr const char* kProgressStore = "g";
    static constexpr const char* kSettingsStore = "s";
    static constexpr int kMaxGrade = 5;
    static constexpr int kMaxStars = 3 * Progress::kLevels;
    static constexpr int kBonusItems = 9;
    // Where the game goes after a level: the level select.
    static constexpr int kLevelSelectState = 13;

    // Level 1 open, everything else 0, menu world 1, level 1 selected.
    static Progress defaultProgress();
    // Every field in its range: menu world 1..3, stars 0..81, grades 0..5
    // (level 1 at least 1), scores >= 0, selected level 1..27, the unlock
    // mask within the nine items and the count equal to its bits.
    static Progress clamped(Progress progress);

    // The stored progress, or defaults when there is none or it cannot be
    // read (a message names the problem; the store stays).
    static Progress loadProgress();
    // False (with a message) when the record store refused the write.
    static bool saveProgress(const Progress& progress);
    // The player's own reset: defaults in memory and the store "g" deleted.
    static void resetProgress(Progress& progress);

    // The stored settings, clamped; none when there is no readable record.
    static std::optional<Settings> loadSettings();
    static bool saveSettings(const Settings& settings);
    // The settings in force: the sound channels' volume steps and the
    // screen shake's vibration flag.
    static Settings currentSettings();
    static void applySettings(const Settings& settings);

    struct LevelEnd {
        bool gradeImproved = false;
        bool nextLevelOpened = false;
        // The state the game loads next.
        int nextState = kLevelSelectState;
    };
    // A level ended through its results (result 0 bonus level, 1 normal, 2
    // with the finale) or the notices confirmed (3: nothing is graded).
    // Stars 0..3 raise the grade and the total only above what was stored;
    // result 2 marks the alternative ending (grade 5); a higher score
    // replaces the best one; the next level opens when it was locked.
    static LevelEnd levelEnd(Progress& progress, int level, int result, int stars, int score);

private:
    static std::optional<std::vector<std::uint8_t>> readRecord(const char* store);
    static bool writeRecord(const char* store, const std::vector<std::uint8_t>& record);
};

}  // namespace game
