#include "game/LevelView.h"

#include <algorithm>
#include <cstdlib>

#include "TarvokinEmu/MIDletRegistry.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/world/FixedMath.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "game/world/ObjectContacts.h"
#include "game/world/TileCollision.h"
#include "game/world/WorldPainter.h"
#include "javax/microedition/lcdui/Font.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "platform/Console.h"

namespace game {

using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using world::GameWorld;
using world::LevelLoader;
using world::TileCollision;
using world::FixedMath;

namespace {

constexpr int kCommandQuit = 7, kQuitText = 50;
constexpr int kUp = 1, kDown = 2, kLeft = 4, kRight = 8;
constexpr int kProbeRadius = 6;
constexpr int kHardKnock = 2500;  // speed units
constexpr int kTheme = 3;  // the swing stage's theme

int directionBit(int key) {
    switch (key) {
        case -1: return kUp;
        case -2: return kDown;
        case -3: return kLeft;
        case -4: return kRight;
        default: return 0;
    }
}

int param(int i) {
    const auto& p = GameWorld::state().levelParams;
    return static_cast<std::size_t>(i) < p.size() ? p[static_cast<std::size_t>(i)] : 0;
}

}  // namespace

void LevelView::registerClass() {
    TarvokinEmu::MIDletRegistry::registerClass(kClassName, [] { return std::make_shared<LevelView>(); });
}

void LevelView::onLifecycle(int event) {
    if (event == LIFECYCLE_EXITING) return;
    if (event == LIFECYCLE_STARTED) {
        MainCanvas::defineCommand(kCommandQuit, kQuitText, 2);
        MainCanvas::clearSoftkeys();
        MainCanvas::setSoftkey(kCommandQuit, 0);
    }
}

void LevelView::onKey(int key, int type) {
    const bool quit = (type == KEY_COMMAND && key == kCommandQuit) || (type == KEY_PRESSED && key == 27);
    if (quit) {
        destroyApp(false);
        return;
    }
    const int bit = directionBit(key);
    if (type == KEY_PRESSED) {
        if (bit) heldDirections_ |= bit;
        if (key == -5 || key == 53) dropRequested_ = true;
    } else if (type == KEY_RELEASED && bit) {
        heldDirections_ &= ~bit;
    }
}

// Loads the level table, then the map with the padding, theme and sprites
// of the stage that plays it.
void LevelView::open() {
    opened_ = true;
    GameWorld::resetClassState();
    if (const char* env = std::getenv("TIDEPOOL_MAP")) map_ = std::atoi(env);
    auto& s = GameWorld::state();
    try {
        SpriteSheet::initImages();
        LevelLoader::loadLevel(LevelLoader::kTableMap, false, LevelLoader::TABLE);
        int level = 0, pad = LevelLoader::NO_PAD;
        bool crash = false;
        for (int l = 1; l < GameWorld::kLevelRows && level == 0; ++l) {
            const auto& row = s.levelTable[static_cast<std::size_t>(l)];
            if (row[0] != map_ && row[1] != map_) continue;
            level = l;
            crash = row[0] != map_;
            pad = crash ? LevelLoader::PAD_ABOVE : LevelLoader::PAD_BELOW;
        }
        GameWorld::initWorld();
        LevelLoader::loadLevel(map_, false, pad);
        s.levelNumber = level;
        s.crashStage = crash;
        GameWorld::setTheme(crash ? s.levelTable[static_cast<std::size_t>(level)][3] : kTheme);
        if (crash) GameWorld::loadOverlays();
        GameWorld::loadTileImage();
        s.barrier = GameWorld::makeSprite(GameWorld::kBarrierSprite, true);
        s.floatingDigits = GameWorld::makeSprite(GameWorld::kFloatingDigits, false);
        caption_ = "map " + std::to_string(map_) +
                   (level == 0 ? std::string() : (crash ? " - crash stage of level " : " - swing stage of level ") + std::to_string(level)) +
                   "   arrows: pan   fire: probe ball";
        targetX_ = crash ? s.initialCameraX : 0;
        targetY_ = crash ? s.initialCameraY : s.mapPixelHeight;
        GameWorld::updateCamera(0, targetX_, targetY_);
    } catch (const std::exception& e) {
        error_ = std::string("map ") + std::to_string(map_) + " does not load: " + e.what();
        platform::Console::println(error_);
    }
}

void LevelView::dropProbe() {
    auto& s = GameWorld::state();
    auto& c = s.character;
    c = GameWorld::Character{};
    c.sprite.x = FixedMath::shl(s.cameraX + MainCanvas::kScreenWidth / 2, 16);
    c.sprite.y = FixedMath::shl(s.cameraY + MainCanvas::kScreenHeight / 4, 16);
    c.prevX = c.sprite.x;
    c.prevY = c.sprite.y;
    c.velX = param(0) / 2;
    c.launchMode = 2;
    probeLive_ = true;
    probeAge_ = 0;
}

// The crash stage's bouncing step, without its launch rules.
void LevelView::stepProbe(int dt) {
    auto& s = GameWorld::state();
    auto& c = s.character;
    probeAge_ += dt;
    c.velY = FixedMath::add(c.velY, FixedMath::mul(2 * param(4), dt));
    const int dx = FixedMath::mul(c.velX, (s.speedScaleX * dt) >> 16);
    const int dy = FixedMath::mul(c.velY, (s.speedScaleY * dt) >> 16);
    s.contactNormalX = s.contactNormalY = 0;
    s.lastTile = -1;
    const int result = TileCollision::sweep(c.sprite.x - FixedMath::shl(c.boxWidth / 2, 16), c.sprite.y - FixedMath::shl(c.boxHeight / 2, 16),
                                            c.boxWidth, c.boxHeight, dx, dy, TileCollision::CRASH);
    if (result != TileCollision::FREE) {
        // Sparks for hard knocks only, not for a ball rolling along.
        const bool hard = FixedMath::approxDistance(c.velX, c.velY) > kHardKnock;
        TileCollision::bounce(c.velX, c.velY);
        if (hard && !s.tileSmashed) GameWorld::spawnImpactBurst((c.sprite.x + s.allowedMoveX) >> 16, (c.sprite.y + s.allowedMoveY) >> 16);
    }
    s.tileSmashed = false;
    c.prevX = c.sprite.x;
    c.prevY = c.sprite.y;
    c.sprite.x = FixedMath::add(c.sprite.x, s.allowedMoveX);
    c.sprite.y = FixedMath::add(c.sprite.y, s.allowedMoveY);
    const int limit = param(LevelLoader::kParamSpeedLimit);
    c.velY = std::clamp(c.velY, -limit, limit);
    world::ObjectContacts::updateObjects(dt);
    if (probeAge_ > kProbeLifeMs) {
        GameWorld::spawnEffect(c.sprite.x >> 16, c.sprite.y >> 16, 3);
        probeLive_ = false;
    }
}

void LevelView::tick(int frameMs) {
    if (!opened_) open();
    const int dt = std::clamp(frameMs, 1, 200);
    if (!error_.empty()) {
        redrawRequested = true;
        return;
    }
    auto& s = GameWorld::state();
    const int held = heldDirections_.load();
    const int step = kPanPerSecond * dt / 1000;
    targetX_ += ((held & kRight) ? step : 0) - ((held & kLeft) ? step : 0);
    targetY_ += ((held & kDown) ? step : 0) - ((held & kUp) ? step : 0);
    GameWorld::updateCamera(dt, targetX_, targetY_);
    targetX_ = s.cameraX;  // the camera's limits hold the target too
    targetY_ = s.cameraY;
    if (dropRequested_.exchange(false)) dropProbe();
    if (probeLive_) stepProbe(dt);
    GameWorld::updateEffects(dt);
    s.levelClock += dt;
    s.overlayClock += dt;
    redrawRequested = true;
}

void LevelView::paintFrame(Graphics& g) {
    if (!redrawRequested) return;
    redrawRequested = false;
    g.setClip(0, 0, MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
    g.setFont(Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_MEDIUM));
    if (!error_.empty()) {
        g.setColor(0x202020);
        g.fillRect(0, 0, MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
        g.setColor(0xFFFFFF);
        g.drawString(error_, 10, 30, Graphics::TOP | Graphics::LEFT);
        return;
    }
    world::WorldPainter::drawWorld(g);
    world::WorldPainter::drawObjects(g);
    const auto& s = GameWorld::state();
    if (probeLive_) {
        const int x = (s.character.sprite.x >> 16) - s.cameraX, y = (s.character.sprite.y >> 16) - s.cameraY;
        g.setColor(0x1B1B2F);
        g.fillArc(x - kProbeRadius - 1, y - kProbeRadius - 1, 2 * kProbeRadius + 2, 2 * kProbeRadius + 2, 0, 360);
        g.setColor(0xFFFFFF);
        g.fillArc(x - kProbeRadius, y - kProbeRadius, 2 * kProbeRadius, 2 * kProbeRadius, 0, 360);
    }
    world::WorldPainter::drawEffects(g);
    world::WorldPainter::drawFrontOverlay(g);
    g.setColor(0x1B1B2F);
    g.fillRect(0, 0, MainCanvas::kScreenWidth, 22);
    g.setColor(0xFFFFFF);
    g.drawString(caption_, 6, 3, Graphics::TOP | Graphics::LEFT);
}

}  // namespace game
