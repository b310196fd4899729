#include "game/save/SavedGame.h"

#include <algorithm>
#include <bit>

#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/ui/ScreenEffects.h"
#include "javax/microedition/rms/RecordStore.h"
#include "platform/Console.h"

namespace game {

using javax::microedition::rms::RecordStore;

namespace {
void report(const std::string& message) { platform::Console::println("Saved game: " + message); }
}  // namespace

SavedGame::Progress SavedGame::defaultProgress() {
    Progress p;
    p.levelGrade[1] = 1;
    return p;
}

SavedGame::Progress SavedGame::clamped(Progress p) {
    p.menuWorld = std::clamp(p.menuWorld, 1, 3);
    p.totalStars = std::clamp(p.totalStars, 0, kMaxStars);
    p.unlockMask &= (1 << kBonusItems) - 1;
    p.unlockCount = std::popcount(static_cast<unsigned>(p.unlockMask));
    p.levelGrade[0] = 0;
    p.levelScore[0] = 0;
    for (int& grade : p.levelGrade) grade = std::clamp(grade, 0, kMaxGrade);
    p.levelGrade[1] = std::max(p.levelGrade[1], 1);
    for (int& score : p.levelScore) score = std::max(score, 0);
    p.selectedLevel = std::clamp(p.selectedLevel, 1, Progress::kLevels);
    return p;
}

std::optional<std::vector<std::uint8_t>> SavedGame::readRecord(const char* store) {
    std::shared_ptr<RecordStore> rs;
    try {
        rs = RecordStore::openRecordStore(store, false);
    } catch (const javax::microedition::rms::RecordStoreNotFoundException&) {
        return std::nullopt;  // nothing saved yet
    } catch (const std::exception& e) {
        report(std::string("store \"") + store + "\" did not open (" + e.what() + ")");
        return std::nullopt;
    }
    try {
        auto record = rs->getRecord(1);
        rs->closeRecordStore();
        return record;
    } catch (const std::exception& e) {
        report(std::string("store \"") + store + "\" holds no record 1 (" + e.what() + ")");
        return std::nullopt;
    }
}

bool SavedGame::writeRecord(const char* store, const std::vector<std::uint8_t>& record) {
    bool written = false;
    try {
        auto rs = RecordStore::openRecordStore(store, true);
        const int size = static_cast<int>(record.size());
        if (rs->getNumRecords() >= 1)
            rs->setRecord(1, record, 0, size);
        else
            rs->addRecord(record, 0, size);
        rs->closeRecordStore();
        written = true;
    } catch (const std::exception& e) {
        report(std::string("store \"") + store + "\" was not written (" + e.what() + ")");
    }
    MainCanvas::dropPackCache();
    return written;
}

SavedGame::Progress SavedGame::loadProgress() {
    const auto record = readRecord(kProgressStore);
    if (!record) return defaultProgress();
    try {
        return clamped(format::ProgressRecord::decode(*record));
    } catch (const std::exception& e) {
        report(std::string("progress not read, starting from the beginning; the store is kept (") + e.what() + ")");
        return defaultProgress();
    }
}

bool SavedGame::saveProgress(const Progress& progress) {
    return writeRecord(kProgressStore, format::ProgressRecord::encode(progress));
}

void SavedGame::resetProgress(Progress& progress) {
    progress = defaultProgress();
    try {
        RecordStore::deleteRecordStore(kProgressStore);
    } catch (const std::exception&) {
        // Nothing saved: nothing to delete.
    }
}

std::optional<SavedGame::Settings> SavedGame::loadSettings() {
    const auto record = readRecord(kSettingsStore);
    if (!record) return std::nullopt;
    try {
        Settings s = format::SettingsRecord::decode(*record);
        s.musicVolume = SoundPlayer::clampVolume(s.musicVolume);
        s.effectsVolume = SoundPlayer::clampVolume(s.effectsVolume);
        return s;
    } catch (const std::exception& e) {
        report(std::string("settings not read, using the defaults; the store is kept (") + e.what() + ")");
        return std::nullopt;
    }
}

bool SavedGame::saveSettings(const Settings& settings) {
    return writeRecord(kSettingsStore, format::SettingsRecord::encode(settings));
}

SavedGame::Settings SavedGame::currentSettings() {
    return {SoundPlayer::getMusicVolume(), SoundPlayer::getEffectsVolume(), ScreenEffects::vibration()};
}

void SavedGame::applySettings(const Settings& settings) {
    SoundPlayer::setMusicVolume(settings.musicVolume);
    SoundPlayer::setEffectsVolume(settings.effectsVolume);
    ScreenEffects::setVibration(settings.vibration);
}

SavedGame::LevelEnd SavedGame::levelEnd(Progress& p, int level, int result, int stars, int score) {
    LevelEnd out;
    if (result == 3 || level < 1 || level > Progress::kLevels) return out;
    int& grade = p.levelGrade[static_cast<std::size_t>(level)];
    // A locked level counts no stars, and the alternative ending counts as three.
    const int stored = std::clamp(grade - 1, 0, 3);
    stars = std::clamp(stars, 0, 3);
    if (stars > stored) {
        p.totalStars = std::min(p.totalStars + stars - stored, kMaxStars);
        grade = std::max(grade, stars + 1);
        out.gradeImproved = true;
    }
    if (result == 2) grade = kMaxGrade;
    grade = std::max(grade, 1);
    p.levelScore[static_cast<std::size_t>(level)] = std::max(p.levelScore[static_cast<std::size_t>(level)], score);
    if (level < Progress::kLevels && p.levelGrade[static_cast<std::size_t>(level) + 1] == 0) {
        p.levelGrade[static_cast<std::size_t>(level) + 1] = 1;
        out.nextLevelOpened = true;
    }
    return out;
}

}  // namespace game
