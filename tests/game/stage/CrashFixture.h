// A crash stage in play on a map made for the test: the world from a text
// grid (see WorldFixture), the stage's state set as its setup leaves it,
// sounds off, and helpers that step it and press FIRE.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "game/Brindle.h"
#include "game/audio/SoundPlayer.h"
#include "game/stage/CrashStage.h"
#include "game/ui/Popup.h"
#include "game/ui/ScreenEffects.h"
#include "world/WorldFixture.h"

namespace game::stage::testing {

class CrashTest : public world::testing::WorldTest {
protected:
    using Stage = CrashStage;
    static constexpr int kStep = 40;  // ms, as the stage steps at 20 ms frames

    void SetUp() override {
        WorldTest::SetUp();
        Brindle::resetClassState();
        CrashStage::resetClassState();
        Popup::resetClassState();
        ScreenEffects::resetClassState();
        SoundPlayer::resetClassState();
        SoundPlayer::setEffectsVolume(0);
    }
    void TearDown() override {
        CrashStage::resetClassState();
        Popup::resetClassState();
        Brindle::resetClassState();
        WorldTest::TearDown();
    }

    static world::GameWorld::State& world() { return world::GameWorld::state(); }
    static CrashStage::State& stage() { return CrashStage::state(); }
    static world::GameWorld::Character& character() { return world().character; }

    // The stage in play on the map, the character at the start cell's
    // bottom-left quarter, `banked` launches with their power-ups.
    void play(const std::vector<std::string>& rows, int startCol, int startRow, int banked, int unlocks = 0,
              std::vector<char> smash = {}, std::vector<int> aims = {}) {
        setMap(rows);
        auto& w = world();
        w.startX = (startCol * 40 + 10) << 16;
        w.startY = (startRow * 32 + 20) << 16;
        w.crashStage = true;
        w.unlocks = unlocks;
        w.launchesBanked = banked;
        smash.resize(static_cast<std::size_t>(banked) + 1, 0);
        aims.resize(static_cast<std::size_t>(banked) + 1, 0);
        w.launchSmash = smash;
        w.launchAims = aims;
        stage().launchesLeft = banked;
        CrashStage::resetLaunch(true);
        stage().phase = CrashStage::PLAY;
    }

    // A target (kind 4) standing on the cell below (col, row), with a
    // circle of radius 12 in its cell.
    static int target(int col, int row) {
        const int slot = world::GameWorld::spawnObject(col, row, 4);
        world().objects[static_cast<std::size_t>(slot)]->create(boxAnimation({{20, 16, 12, 12}}), true);
        return slot;
    }

    // Steps until done() or limit ms passed; the ms taken.
    static int runUntil(const std::function<bool()>& done, int limitMs, int dt = kStep) {
        int t = 0;
        while (!done() && t < limitMs) {
            CrashStage::update(dt);
            t += dt;
        }
        return t;
    }
    static void fire() {
        CrashStage::pressFire();
        CrashStage::update(kStep);
        CrashStage::releaseFire();
    }
    static int mode() { return character().launchMode; }
};

}  // namespace game::stage::testing
