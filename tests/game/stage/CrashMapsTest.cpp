// Every shipped crash map, loaded by the stage's own setup from the built
// data: whenever the character takes off, and whatever power-ups it has,
// the launch ends within a minute of game time and the level is tallied.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/audio/SoundPlayer.h"
#include "game/stage/CrashStage.h"
#include "game/ui/Popup.h"
#include "game/ui/ScreenEffects.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "platform/Console.h"

namespace game::stage {
namespace {

using world::GameWorld;
using world::LevelLoader;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kTakeOffs = 10;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr int kTakeOffs = 10;
#else
constexpr int kTakeOffs = 40;
#endif
#else
constexpr int kTakeOffs = 40;
#endif
constexpr int kStep = 40;
// Take-offs spread over the run-up of the widest maps.
constexpr int kLastTakeOffMs = 7800;

class ShippedCrashMaps : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        ASSERT_EQ(chdir(RESOURCE_DIR), 0);
        for (auto reset : {&MainCanvas::resetClassState, &SpriteSheet::resetClassState, &GameWorld::resetClassState,
                           &Brindle::resetClassState, &CrashStage::resetClassState, &Popup::resetClassState,
                           &ScreenEffects::resetClassState, &SoundPlayer::resetClassState})
            reset();
        SoundPlayer::setEffectsVolume(0);
        GameWorld::state().random.seed = 1;
        platform::Console::redirect(&out_, nullptr);
    }
    void TearDown() override {
        platform::Console::redirect(nullptr, nullptr);
        for (auto reset : {&CrashStage::resetClassState, &Popup::resetClassState, &Brindle::resetClassState,
                           &GameWorld::resetClassState, &SpriteSheet::resetClassState, &MainCanvas::resetClassState})
            reset();
        ASSERT_EQ(chdir(previous_), 0);
    }
    char previous_[4096] = {};
    std::ostringstream out_;
};

TEST_F(ShippedCrashMaps, EveryLaunchEndsWithinAMinuteAndTheLevelIsTallied) {
    auto& w = GameWorld::state();
    auto& s = CrashStage::state();
    auto& progress = Brindle::shared().progress;
    SpriteSheet::initImages();
    LevelLoader::loadLevel(LevelLoader::kTableMap, false, LevelLoader::TABLE);
    int maps = 0, launches = 0, longest = 0;
    for (int level = 1; level <= format::Progress::kLevels; ++level) {
        LevelLoader::loadLevel(w.levelTable[static_cast<std::size_t>(level)][0], true, LevelLoader::NO_PAD);
        if (w.bonusLevel) continue;
        ++maps;
        for (int unlocks : {0, 0x1FF}) {
            SCOPED_TRACE("level " + std::to_string(level) + ", unlocks " + std::to_string(unlocks));
            progress.selectedLevel = level;
            progress.unlockMask = unlocks;
            progress.progressFlags.fill(false);
            w.launchesBanked = 1;
            w.launchSmash = {1, 0};
            w.launchAims = {2, 0};
            int step = 0;
            while (!CrashStage::setupStep(step++)) {}
            ASSERT_FALSE(s.loadFailed);
            for (int t = 0; s.phase == CrashStage::INTRO && t < 60000; t += kStep) CrashStage::update(kStep);
            ASSERT_EQ(s.phase, CrashStage::PLAY);
            const GameWorld::State worldAtStart = w;
            const CrashStage::State stageAtStart = s;
            for (int k = 0; k < kTakeOffs; ++k) {
                w = worldAtStart;
                s = stageAtStart;
                const int takeOff = kLastTakeOffMs * k / kTakeOffs;
                int airborneAt = -1, t = 0;
                // The launch: FIRE to take off, and with aim charges twice
                // more in the air (hang, then let go).
                for (; s.phase == CrashStage::PLAY && w.character.launchMode != CrashStage::STOPPED && t < 120000; t += kStep) {
                    const int clock = s.launchClock;
                    const bool fire = (w.character.launchMode == CrashStage::RUN_UP && clock >= takeOff) ||
                                      (airborneAt >= 0 && (clock == airborneAt + 600 || clock == airborneAt + 1200));
                    if (fire) CrashStage::pressFire();
                    CrashStage::update(kStep);
                    CrashStage::releaseFire();
                    if (airborneAt < 0 && w.character.launchMode == CrashStage::AIRBORNE) airborneAt = s.launchClock;
                    longest = std::max(longest, s.launchClock);
                }
                EXPECT_LE(s.launchClock, CrashStage::kLaunchCapMs + kStep) << "take-off at " << takeOff;
                // The stop, the pan back, a finale, the tally.
                for (t = 0; s.phase != CrashStage::WIPE && s.phase != CrashStage::FAILED && t < 30000; t += kStep)
                    CrashStage::update(kStep);
                EXPECT_TRUE(s.phase == CrashStage::WIPE || s.phase == CrashStage::FAILED) << "take-off at " << takeOff;
                ++launches;
            }
        }
    }
    EXPECT_GE(maps, 20);
    EXPECT_EQ(launches, maps * 2 * kTakeOffs);
    EXPECT_LE(longest, CrashStage::kLaunchCapMs + kStep);
}

}  // namespace
}  // namespace game::stage
