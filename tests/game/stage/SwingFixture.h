// The swing stage on purpose-made levels: a level file of two maps (map 0
// the header and the level row, map 1 the swing map) run through the
// stage's setup steps with the game's pictures, FIRE pressed and released
// like a player would, and the stage stepped at 20 ms frames.
#pragma once

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "GameTestSupport.h"
#include "game/Brindle.h"
#include "game/SpriteSheet.h"
#include "game/format/LevelFile.h"
#include "game/save/SavedGame.h"
#include "game/stage/SwingStage.h"
#include "game/ui/Popup.h"
#include "game/ui/TextPanel.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "platform/Console.h"

namespace game::stage::testing {

using format::LevelRecord;
using world::GameWorld;

// '.' empty, '#' wall, 'b' breakable 1 (passes), 'c' breakable 2,
// 'u' slope solid at the upper right (normal (-160, 200)), 'v' slope solid
// at the upper left (normal (160, 200)).
inline int codeOf(char c) {
    switch (c) {
        case '#': return 21;
        case 'b': return 1;
        case 'c': return 2;
        case 'u': return 27;
        case 'v': return 28;
        default: return 0;
    }
}

// 24 x 19 cells, walls on the left and along the bottom. The bat's pivot
// is at (220, 432), its tip 60 px out; a character hanging from (7, 10)
// hangs at (280, 416), where the swinging tip passes.
struct Level {
    std::vector<std::string> grid = std::vector<std::string>(19, "#......................." );
    int mode = SwingStage::ROPE;
    int dropCol = 7, dropRow = 10, spread = 0, speed = 0;
    bool bonus = false;
    int target = 0;
    std::vector<LevelRecord> extra;

    Level() {
        for (int r = 16; r < 19; ++r) grid[static_cast<std::size_t>(r)] = std::string(24, '#');
    }
    Level& row(int r, const std::string& cells, int from = 0) {
        grid[static_cast<std::size_t>(r)].replace(static_cast<std::size_t>(from), cells.size(), cells);
        return *this;
    }
};

class SwingTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        resetGame();
        platform::Console::redirect(&out_, nullptr);
        // The game's own pictures, so that targets and objects have boxes.
        std::filesystem::current_path(RESOURCE_DIR);
        SpriteSheet::initImages();
        GameWorld::createFrameSprite();
        auto font = gametest::testFont();
        auto& fonts = Brindle::shared().fonts;
        for (auto& f : fonts) f = font;
        TextPanel::setDefaultFonts(font, font, font);
        Popup::create();
        Brindle::shared().progress = SavedGame::defaultProgress();
        // No hints unless a test asks for them.
        Brindle::shared().progress.progressFlags.fill(true);
    }
    void TearDown() override {
        platform::Console::redirect(nullptr, nullptr);
        resetGame();
        GameTest::TearDown();
    }
    // From here on no picture, animation or text can be found.
    void dropPictures() {
        std::filesystem::current_path(dir_);
        MainCanvas::resetClassState();
        SpriteSheet::resetClassState();
        GameWorld::state().frame = SpriteSheet{};
    }
    static void resetGame() {
        SpriteSheet::resetClassState();
        GameWorld::resetClassState();
        GameWorld::state().random.seed = 1;
        SwingStage::resetClassState();
        Brindle::resetClassState();
        Popup::resetClassState();
        TextPanel::resetClassState();
    }

    static std::vector<std::uint8_t> fileOf(const Level& l) {
        std::vector<int> params(24, 100);
        params[1] = 2000, params[4] = 7;
        auto header = [&](int kind, int target) {
            LevelRecord r{0, {2, 10, 0, kind, target, 24, 0}};
            r.values.insert(r.values.end(), params.begin(), params.end());
            return r;
        };
        format::LevelMap table;
        table.cols = table.rows = 1;
        table.cells = {0};
        table.records = {{20, {1, 0, 3, 1, 1}}, header(0, 0)};
        format::LevelMap swing;
        swing.rows = static_cast<int>(l.grid.size());
        swing.cols = static_cast<int>(l.grid[0].size());
        for (const auto& r : l.grid)
            for (char c : r) swing.cells.push_back(static_cast<std::int8_t>(codeOf(c)));
        swing.records = {header(l.bonus ? 3 : 0, l.target), {14, {5, 13, 224, 6, 8, 175, 20, 16, 200}},
                         {15, {l.dropCol, l.dropRow, l.spread, l.speed, l.mode}}};
        swing.records.insert(swing.records.end(), l.extra.begin(), l.extra.end());
        return format::LevelFile::write({table, swing});
    }

    // The stage's setup steps, with the level file given here in place
    // of the game's; then the state machine's entry.
    void play(const Level& l, int unlocks = 0) {
        auto& progress = Brindle::shared().progress;
        progress.selectedLevel = 1;
        progress.unlockMask = unlocks;
        const auto file = fileOf(l);
        for (int step = 0; step <= SwingStage::kLastSetupStep; ++step) {
            if (step == 1) {
                world::LevelLoader::loadLevel(file, 0, true, world::LevelLoader::NO_PAD);
                world::LevelLoader::loadLevel(file, 1, false, world::LevelLoader::PAD_BELOW);
            } else {
                ASSERT_EQ(SwingStage::setupStep(step), step == SwingStage::kLastSetupStep);
            }
        }
        SwingStage::enter(false);
    }

    static void run(int ms) {
        for (int t = 0; t < ms; t += 20) SwingStage::update(20);
    }
    // Until a character hangs (or falls) in play.
    static void untilInPlay() {
        for (int t = 0; t < 5000 && (SwingStage::state().hidden || SwingStage::state().swingPhase != SwingStage::PLAY); t += 20)
            SwingStage::update(20);
    }
    static void fire() {
        SwingStage::key('5', GameMidlet::KEY_PRESSED);
        SwingStage::update(20);
        SwingStage::key('5', GameMidlet::KEY_RELEASED);
    }
    // FIRE, then frames until the drop has ended.
    static void strikeAndWait() {
        fire();
        for (int t = 0; t < 6000 && !SwingStage::state().hidden; t += 20) SwingStage::update(20);
    }

    std::ostringstream out_;
};

}  // namespace game::stage::testing
