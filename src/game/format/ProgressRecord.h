// The two saved records. Progress, record 1 of store "g", 184 bytes, all
// integers big-endian:
//   0 u8  menuWorld          1 s8  totalStars       2 s32 unlockCount
//   6 s32 unlockMask        10 s8 x 28 levelGrade  38 s32 x 28 levelScore
// 150 u8 x 33 progressFlags (1 true, 0 false)     183 u8  selectedLevel
// Settings, record 1 of store "s", 12 bytes: s32 musicVolume, s32
// effectsVolume, s32 vibration (1 on).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace game::format {

struct Progress {
    static constexpr int kLevels = 27;
    static constexpr int kFlags = 33;
    int menuWorld = 1;
    int totalStars = 0;
    int unlockCount = 0;
    int unlockMask = 0;
    // Per level 1..27 (entry 0 unused): 0 locked, 1 open, 2..4 finished with
    // 1..3 stars, 5 finished by the alternative ending.
    std::array<int, kLevels + 1> levelGrade{};
    std::array<int, kLevels + 1> levelScore{};
    std::array<bool, kFlags> progressFlags{};
    int selectedLevel = 1;
    bool operator==(const Progress&) const = default;
};

struct Settings {
    int musicVolume = 3;
    int effectsVolume = 3;
    bool vibration = false;
    bool operator==(const Settings&) const = default;
};

class ProgressRecord {
public:
    static constexpr std::size_t kSize = 184;
    static constexpr std::size_t kGradeOffset = 10, kScoreOffset = 38, kFlagsOffset = 150, kSelectedOffset = 183;

    // Values are stored as their low bytes where the field is a byte.
    static std::vector<std::uint8_t> encode(const Progress& progress);
    // Fields as stored, unchecked. Throws IllegalArgumentException naming
    // the length for a record of any other size.
    static Progress decode(std::span<const std::uint8_t> record);
};

class SettingsRecord {
public:
    static constexpr std::size_t kSize = 12;
    static std::vector<std::uint8_t> encode(const Settings& settings);
    // Volumes as stored, vibration on only for 1. Throws
    // IllegalArgumentException for a record of any other size.
    static Settings decode(std::span<const std::uint8_t> record);
};

}  // namespace game::format
