// Whole level files played as a swing stage: the first map that loads is
// set up as the stage's map, then played for a few hundred frames with
// FIRE pressed now and then and drawn every so often. Whatever the bat, drop
// and target records say, the stage keeps its bank inside its arrays and
// its queue from going negative, and nothing crashes.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <sstream>

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/format/LevelFile.h"
#include "game/save/SavedGame.h"
#include "game/stage/SwingStage.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"

using game::stage::SwingStage;
using game::world::GameWorld;
using game::world::LevelLoader;

namespace {

bool loadSwingMap(std::span<const std::uint8_t> file) {
    const int maps = std::min(game::format::LevelFile::mapCount(file), 4);
    for (int map = 0; map < maps; ++map) {
        try {
            LevelLoader::loadLevel(file, map, false, LevelLoader::PAD_BELOW);
        } catch (const java::io::IOException&) {
            continue;
        }
        return GameWorld::state().mapCols * GameWorld::state().mapRows <= 100000;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::ostringstream quiet;
    static const auto screen = javax::microedition::lcdui::Image::createImage(800, 600);
    static const auto g = screen->getGraphics();
    platform::Console::redirect(&quiet, &quiet);
    quiet.str("");
    GameWorld::resetClassState();
    GameWorld::state().random.seed = size > 0 ? data[0] : 0;
    SwingStage::resetClassState();
    auto& progress = game::Brindle::shared().progress;
    progress = game::SavedGame::defaultProgress();
    progress.progressFlags.fill(true);
    progress.unlockMask = size > 1 ? data[1] | (data[0] & 1) << 8 : 0;
    for (int step = 0; step <= SwingStage::kLastSetupStep; ++step) {
        if (step != 1) SwingStage::setupStep(step);
        else if (!loadSwingMap(std::span<const std::uint8_t>(data, size))) return 0;
    }
    SwingStage::enter(false);
    const int queue = SwingStage::queueSize(GameWorld::state().unlocks);
    for (int frame = 0; frame < 400; ++frame) {
        if (frame % 23 == 0) SwingStage::key('5', game::GameMidlet::KEY_PRESSED);
        if (frame % 23 == 2) SwingStage::key('5', game::GameMidlet::KEY_RELEASED);
        SwingStage::update(20 + frame % 7 * 25);
        SwingStage::takeRequest();
        if (frame % 50 == 0) SwingStage::paint(*g);
        const auto& w = GameWorld::state();
        if (SwingStage::state().shotsLeft < 0 || w.launchesBanked > queue || w.launchSmash.size() != static_cast<std::size_t>(queue + 1))
            std::abort();
    }
    return 0;
}
