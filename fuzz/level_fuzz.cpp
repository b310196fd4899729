// Whole level files into the game's loader: every map of the first few
// loads or fails with an IOException, a loaded world is whole (its grid and
// decoration layer sized to the map, every cell a tile code), and a world
// built from hostile data survives collision, object updates and drawing.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <sstream>

#include "game/format/LevelFile.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "game/world/ObjectContacts.h"
#include "game/world/TileCollision.h"
#include "game/world/TileRules.h"
#include "game/world/WorldPainter.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Console.h"

using namespace game::world;

namespace {

void checkWhole() {
    const auto& s = GameWorld::state();
    const std::size_t cells = static_cast<std::size_t>(s.mapCols) * static_cast<std::size_t>(s.mapRows);
    if (s.tileMap.size() != cells || s.decorLayer.size() != cells) std::abort();
    for (auto code : s.tileMap)
        if (!TileRules::isKnownCode(code)) std::abort();
    if (!s.levelParams.empty() && s.levelParams.size() < GameWorld::kMinParams) std::abort();
}

void exercise(javax::microedition::lcdui::Graphics& g) {
    auto& s = GameWorld::state();
    s.character.sprite.x = s.startX;
    s.character.sprite.y = s.startY;
    for (int i = 0; i < 4; ++i) {
        TileCollision::sweep(s.startX, s.startY, 10, 10, (i - 2) << 20, (2 - i) << 19, i % 3);
        ObjectContacts::updateObjects(50);
        GameWorld::updateEffects(50);
    }
    GameWorld::updateCamera(20, s.initialCameraX, s.initialCameraY);
    WorldPainter::drawWorld(g);
    WorldPainter::drawObjects(g);
    WorldPainter::drawEffects(g);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::ostringstream quiet;
    static const auto screen = javax::microedition::lcdui::Image::createImage(800, 600);
    static const auto g = screen->getGraphics();
    platform::Console::redirect(&quiet, &quiet);
    quiet.str("");
    GameWorld::resetClassState();
    const std::span<const std::uint8_t> file(data, size);
    const int maps = std::min(game::format::LevelFile::mapCount(file), 6);
    bool drawn = false;
    for (int map = 0; map < maps; ++map) {
        try {
            LevelLoader::loadLevel(file, map, map == 0, map % 3);
        } catch (const java::io::IOException&) {
            continue;
        }
        checkWhole();
        if (!drawn && GameWorld::state().mapCols * GameWorld::state().mapRows <= 100000) {
            exercise(*g);
            drawn = true;
        }
    }
    return 0;
}
