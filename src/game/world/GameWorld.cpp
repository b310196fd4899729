#include "game/world/GameWorld.h"

#include <algorithm>

#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/ui/ScreenEffects.h"
#include "game/world/FixedMath.h"
#include "game/world/FrameBoxes.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Clock.h"
#include "platform/Console.h"

namespace game::world {

namespace {

constexpr std::array<int, GameWorld::kObjectKinds> kObjectValue = {0, 0, 0, 0, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 2, 0, 0};
constexpr std::array<std::int32_t, GameWorld::kObjectKinds> kObjectPicture = {
    -1, -1, -1, 0x40020, 0x30035, 0x300A0, 0x5000D, 0x40027, 0x50041, 0x50043, -1, -1, -1, -1, 0x50020, 0x50031, 0x60010};

struct EffectRow {
    std::int32_t sprite;
    int life;
    bool loops;
};
constexpr std::array<EffectRow, GameWorld::kEffectKinds> kEffects = {{
    {-1, 0, false},          {0x3007B, 750, false},  {0x3005B, 2000, true},  {0x4001B, 900, false},
    {-1, 1500, true},        {0x40018, 1500, true},  {0x300A6, 1500, false}, {-1, 900, false},
    {0x40065, 1500, false},  {0x4008D, 600, false},  {0x40080, 600, false},  {0x40078, 800, false},
    {0x4008E, 800, false},   {0x4009B, 500, false},  {0x40089, 800, false},  {0x40081, 700, false},
    {0x50023, 1400, false},  {0x50009, 1500, false}, {0x50042, 1500, false}, {0x3007B, 750, false},
    {0x50082, 1500, false},  {0x50083, 1500, false}, {0x50087, 1500, false},
}};

struct ThemeRow {
    std::int32_t backdrop0, backdrop1;
    bool loops1;
    std::array<int, 4> colours;
};
constexpr std::array<ThemeRow, 4> kThemes = {{
    {0x40074, 0x40076, false, {0xFFA055, 0xFFFD7D, 0x99E6FF, 0x8D7E7F}},
    {0x400A5, 0x400A3, false, {0x8BCAFF, 0xFEF001, 0xA9DCEA, 0xFCFFFF}},
    {0x50001, -1, false, {0x5596B1, 0x846D51, 0x846D51, 0xC4641D}},
    {0x50008, 0x50007, true, {0x45C4ED, 0xF2D4D8, 0xFFFFFF, 0xB6DBF3}},
}};

// Kinds that may push out a live spark (kind 11) when the pool is full.
bool mayTakeSpark(int kind) {
    switch (kind) {
        case 5: case 6: case 8: case 17: case 18: case 20: case 21: case 22: return true;
        default: return false;
    }
}

bool isDestructible(int kind) { return (kind >= 4 && kind <= 9) || (kind >= 11 && kind <= 13); }

}  // namespace

GameWorld::State& GameWorld::state() {
    static State s;
    return s;
}

void GameWorld::resetClassState() {
    State& s = state();
    s = State{};
    s.random.seed = static_cast<std::uint32_t>(platform::Clock::current().nowMillis());
}

// ---- set-up ----

void GameWorld::initWorld() {
    State& s = state();
    s.speedScaleX = s.tileWidth * 0x1800;
    s.speedScaleY = s.tileHeight * 0x1800;
    if (!s.results.getCurrentAnimation()) s.results = makeSprite(kResultsSprite, false);
}

void GameWorld::createFrameSprite() {
    State& s = state();
    if (!s.frame.getCurrentAnimation()) s.frame = makeSprite(kFrameSprite, false);
}

javax::microedition::lcdui::Image& GameWorld::offscreen() {
    State& s = state();
    if (!s.screenBuffer)
        s.screenBuffer = javax::microedition::lcdui::Image::createImage(MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
    return *s.screenBuffer;
}

void GameWorld::setTheme(int theme) {
    if (theme < 0 || theme >= static_cast<int>(kThemes.size())) return;
    State& s = state();
    const ThemeRow& row = kThemes[static_cast<std::size_t>(theme)];
    s.theme = theme;
    s.backdrops[0] = makeSprite(row.backdrop0, false);
    s.backdrops[1] = makeSprite(row.backdrop1, row.loops1);
    s.themePalette = row.colours;
}

void GameWorld::loadTileImage() {
    State& s = state();
    if (s.tileImage) return;
    try {
        if (!SpriteSheet::shared().palettesLoaded) SpriteSheet::initImages();
        s.tileImage = SpriteSheet::loadImageDescriptor(kTilePicture, 0, 1);
    } catch (const std::exception& e) {
        platform::Console::println(std::string("tile picture: ") + e.what());
    }
}

void GameWorld::loadOverlays() {
    State& s = state();
    if (s.theme == 2) {
        s.themePattern = makeSprite(kThemePattern, true);
    } else if (s.overlay) {
        s.backOverlay = makeSprite(kBackOverlay, false);
        s.frontOverlay = makeSprite(kFrontOverlay, true);
    }
}

// ---- maths and chance ----

int GameWorld::nextRandom(int n) { return state().random.next(n); }

int GameWorld::catmullRom(int t) {
    const auto& c = state().catmull;
    const std::int64_t t2 = (std::int64_t{t} * t) >> 12, t3 = (t2 * t) >> 12;
    const std::int64_t c0 = c[0], c1 = c[1], c2 = c[2], c3 = c[3];
    const std::int64_t sum = (((c2 - c0) * t) >> 12) + (((2 * c0 - 5 * c1 + 4 * c2 - c3) * t2) >> 12) +
                             (((3 * (c1 - c2) - c0 + c3) * t3) >> 12);
    return FixedMath::wrap(c1 + (sum >> 1));
}

// ---- statistics ----

void GameWorld::resetStats() {
    State& s = state();
    s.objectStats.fill(0);
    s.placedValue = s.destroyedValue = s.destroyedTiles = 0;
    s.combos2 = s.combos3 = s.combosMore = 0;
}

void GameWorld::countStat(int kind, int which) {
    if (kind < 0 || kind >= kObjectKinds || which < 0 || which > 1) return;
    State& s = state();
    s.objectStats[static_cast<std::size_t>(2 * kind + which)] += 1;
    (which == 0 ? s.placedValue : s.destroyedValue) += kObjectValue[static_cast<std::size_t>(kind)];
}

int GameWorld::placedTargets() {
    int n = 0;
    for (int k = 4; k <= 13; ++k) n += state().objectStats[static_cast<std::size_t>(2 * k)];
    return n;
}

int GameWorld::destroyedTargets() {
    int n = 0;
    for (int k = 4; k <= 13; ++k) n += state().objectStats[static_cast<std::size_t>(2 * k + 1)];
    return n;
}

int GameWorld::placedBonus() { return state().objectStats[28]; }
int GameWorld::destroyedBonus() { return state().objectStats[29]; }

int GameWorld::objectValue(int kind) {
    return kind >= 0 && kind < kObjectKinds ? kObjectValue[static_cast<std::size_t>(kind)] : 0;
}

// ---- sprites ----

SpriteSheet::Animation GameWorld::animationOrNone(std::int32_t id) {
    if (id == -1) return nullptr;
    try {
        return SpriteSheet::loadAnimation(id);
    } catch (const std::exception&) {
        return nullptr;
    }
}

SpriteSheet GameWorld::makeSprite(std::int32_t id, bool forever) {
    SpriteSheet s;
    s.create(animationOrNone(id), forever);
    return s;
}

bool GameWorld::boxHitsSprite(int x, int y, int w, int h, int px, int py, const SpriteSheet& s) {
    const FrameBoxes boxes(s);
    for (int i = 0; i < boxes.count(); ++i) {
        const FrameBoxes::Box b = boxes.at(i);
        const std::int64_t bx = std::int64_t{px} + b.x, by = std::int64_t{py} + b.y;
        if (bx < std::int64_t{x} + w && x < bx + b.width && by < std::int64_t{y} + h && y < by + b.height) return true;
    }
    return false;
}

void GameWorld::setCharacterAnimation(int index, int loops) {
    Character& c = state().character;
    for (SpriteSheet* s : {&c.sprite, &c.powered})
        if (index < s->getAnimationCount()) s->setAnimation(index, loops, false);
}

void GameWorld::tumbleCharacter() { setCharacterAnimation(3 + nextRandom(3), -1); }

void GameWorld::restartScorePopup() { state().scorePopup.restart(); }

void GameWorld::smashFeedback() {
    SoundPlayer::playEffect(kSmashSound);
    ScreenEffects::shake(5, kSmashShakeTenths, 5);
}

// ---- objects ----

std::int32_t GameWorld::objectPicture(int kind) {
    return kind >= 0 && kind < kObjectKinds ? kObjectPicture[static_cast<std::size_t>(kind)] : -1;
}

int GameWorld::spawnObject(int col, int row, int kind) {
    if (kind < 0 || kind >= kObjectKinds) return -1;
    State& s = state();
    const auto free = std::find_if(s.objects.begin(), s.objects.end(), [](const auto& o) { return !o; });
    if (free == s.objects.end()) return -1;
    SpriteSheet o = makeSprite(objectPicture(kind), true);
    // Animated objects start at different times so that rows of them do
    // not move in step.
    if (kind == DECORATION) o.update(nextRandom(500));
    else if (kind >= 4 && kind <= 9) o.update(s.random.scaled(625, 14));
    o.kind = kind;
    o.x = FixedMath::shl(FixedMath::mul(col, s.tileWidth), 16);
    o.y = FixedMath::shl(FixedMath::mul(row, s.tileHeight), 16);
    o.vx = col;
    o.vy = row + 1;
    *free = std::move(o);
    countStat(kind, 0);
    return static_cast<int>(free - s.objects.begin());
}

void GameWorld::clearObjects() {
    for (auto& o : state().objects) o.reset();
}

void GameWorld::destroyObject(int slot) {
    State& s = state();
    if (slot < 0 || slot >= kObjectSlots || !s.objects[static_cast<std::size_t>(slot)]) return;
    const SpriteSheet& o = *s.objects[static_cast<std::size_t>(slot)];
    const int kind = o.kind;
    const int cx = (o.x >> 16) + s.tileWidth / 2, cy = (o.y >> 16) + s.tileHeight / 2;
    if (isDestructible(kind)) {
        spawnEffect(cx, cy, kind == 8 ? 17 : kind == 6 ? 18 : 5);
        spawnEffect(cx, cy, 1);
        restartScorePopup();
        s.comboCount += 1;
        smashFeedback();
        if (s.comboCount >= 2) spawnEffect(cx, cy, FixedMath::shl(s.comboCount, 8) | 8);
    } else if (kind == BONUS) {
        spawnEffect(cx, cy, s.random.bit() ? 16 : 1);
        restartScorePopup();
    }
    countStat(kind, 1);
    s.objects[static_cast<std::size_t>(slot)].reset();
}

// ---- effects ----

void GameWorld::spawnEffect(int x, int y, int kindWord) {
    const int kind = kindWord & 0xFF, p = kindWord >> 8;
    if (kind >= kEffectKinds) return;
    State& s = state();
    const bool takesSparks = mayTakeSpark(kind);
    const int hint = s.freeEffectHint;
    int slot = hint >= 0 && hint < kEffectSlots - 1 && !s.effects[static_cast<std::size_t>(hint)] ? hint : 0;
    for (; slot < kEffectSlots; ++slot) {
        const auto& e = s.effects[static_cast<std::size_t>(slot)];
        if (!e || (takesSparks && e->kind == 11)) break;
    }
    if (slot == kEffectSlots) return;
    const EffectRow& row = kEffects[static_cast<std::size_t>(kind)];
    SpriteSheet e = makeSprite(row.sprite, row.loops);
    e.kind = kind;
    e.timer = row.life;
    e.x = FixedMath::shl(x, 16);
    e.y = FixedMath::shl(y, 16);
    switch (kind) {
        case 2: case 5: case 6: case 17: case 18:
            e.vx = s.random.scaled(5000, 16) - 2500;
            e.vy = kind >= 17 ? -1250 : -7250;
            break;
        case 8:
            e.vx = p;
            e.vy = -10000;
            break;
        case 11: case 19:
            e.vx = ((p & 0xFF) - 128) * 32;
            e.vy = FixedMath::shl((p >> 8) - 128, 5);
            break;
        default: break;
    }
    s.effects[static_cast<std::size_t>(slot)] = std::move(e);
}

void GameWorld::spawnSparkRing(int x, int y) {
    for (int a = 0; a < 256; a += 64) {
        const int bx = (FixedMath::sine(a) >> 3) + 128, by = (FixedMath::sine(a + 64) >> 3) + 128;
        spawnEffect(x, y, ((bx | (by << 8)) << 8) | 19);
    }
}

void GameWorld::spawnImpactBurst(int x, int y) {
    State& s = state();
    const int nx = s.contactNormalX, ny = s.contactNormalY;
    const int len = FixedMath::approxDistance(nx, ny) | 1;
    const int ux = static_cast<int>(std::int64_t{nx} * 256 / len), uy = static_cast<int>(std::int64_t{ny} * 256 / len);
    for (int i = 0; i < 8; ++i) {
        const int r1 = s.random.step(), r2 = s.random.step(), r3 = s.random.step(), r4 = s.random.step();
        const int tx = i < 4 ? -uy : uy, ty = i < 4 ? ux : -ux;
        const int bx = ((((r3 >> 10) + 64) * tx) >> 8) + 128, by = ((((r4 >> 10) + 64) * ty) >> 8) + 128;
        spawnEffect(x + (((r2 >> 13) * uy) >> 8), y + (((r1 >> 13) * ux) >> 8), (((bx & 0xFF) | ((by & 0xFF) << 8)) << 8) | 11);
    }
    spawnEffect(x, y, 10);
}

void GameWorld::updateEffects(int dt) {
    State& s = state();
    for (int i = 0; i < kEffectSlots; ++i) {
        auto& slot = s.effects[static_cast<std::size_t>(i)];
        if (!slot) continue;
        SpriteSheet& e = *slot;
        auto fall = [&](int gravity) {
            e.x = FixedMath::add(e.x, FixedMath::mul(e.vx, dt));
            e.y = FixedMath::add(e.y, FixedMath::mul(e.vy, dt));
            e.vy = FixedMath::add(e.vy, FixedMath::mul(gravity, dt));
        };
        switch (e.kind) {
            case 2: case 5: case 6: fall(25); break;
            case 17: case 18: case 20: case 21: case 22: fall(15); break;
            case 8:
                e.y = FixedMath::add(e.y, FixedMath::mul(e.vy, dt));
                e.vy = std::min(0, FixedMath::add(e.vy, FixedMath::mul(20, dt)));
                break;
            case 11: case 19: fall(0); break;
            default: break;
        }
        e.update(dt);
        e.timer -= dt;
        if (e.timer <= 0) {
            slot.reset();
            s.freeEffectHint = i;
        }
    }
}

void GameWorld::clearEffects() {
    State& s = state();
    for (auto& e : s.effects) e.reset();
    s.freeEffectHint = 0;
}

// ---- camera ----

void GameWorld::updateCamera(int dt, int targetX, int targetY) {
    State& s = state();
    const int oldX = s.cameraX, oldY = s.cameraY;
    constexpr int W = MainCanvas::kScreenWidth, H = MainCanvas::kScreenHeight;
    auto zone = [&] {
        const auto& z = s.cameraZone;
        s.cameraX = z[2] < W ? z[0] + z[2] / 2 - W / 2 : std::clamp(targetX, z[0], std::max(z[0], z[0] + z[2] - W));
        s.cameraY = z[3] < H ? z[1] + z[3] / 2 - H / 2 : std::clamp(targetY, z[1], std::max(z[1], z[1] + z[3] - H));
    };
    switch (s.cameraMode) {
        case PAN:
            s.panElapsed = std::min(s.panElapsed + std::max(dt, 0), s.panDuration);
            if (s.panElapsed >= s.panDuration) {
                s.cameraX = s.panEndX;
                s.cameraY = s.panEndY;
                s.cameraMode = FOLLOW;
            } else {
                s.cameraX = s.panStartX + static_cast<int>((std::int64_t{s.panEndX} - s.panStartX) * s.panElapsed / s.panDuration);
                s.cameraY = s.panStartY + static_cast<int>((std::int64_t{s.panEndY} - s.panStartY) * s.panElapsed / s.panDuration);
            }
            break;
        case CHASE:
            if (!s.chaseInFlight) {
                s.panElapsed = 0;
                zone();
                break;
            }
            if (s.panElapsed == 0) {
                s.panStartX = s.cameraX;
                s.panStartY = s.cameraY;
                s.panElapsed = 1;
            }
            s.panElapsed = std::min(s.panElapsed + std::max(dt, 0), 512);
            if (s.panElapsed < 512) {
                s.cameraX = s.panStartX + static_cast<int>((std::int64_t{targetX} - s.panStartX) * s.panElapsed >> 9);
                s.cameraY = s.panStartY + static_cast<int>((std::int64_t{targetY} - s.panStartY) * s.panElapsed >> 9);
            } else {
                s.cameraX = targetX;
                s.cameraY = targetY;
            }
            break;
        case ZONE: zone(); break;
        default:
            s.cameraX = targetX;
            s.cameraY = targetY;
            break;
    }
    if (s.cameraX < 0) s.cameraX = 0;
    if (s.cameraY < 0 && s.cameraMode != ZONE) s.cameraY = 0;
    s.cameraX = std::min(s.cameraX, s.mapPixelWidth - W);
    s.cameraY = std::min(s.cameraY, s.mapPixelHeight - H);
    s.cameraMoved = s.cameraX != oldX || s.cameraY != oldY;
}

void GameWorld::startPan(int toX, int toY, int ms) {
    State& s = state();
    s.cameraMode = PAN;
    s.panStartX = s.cameraX;
    s.panStartY = s.cameraY;
    s.panEndX = toX;
    s.panEndY = toY;
    s.panDuration = std::max(ms, 0);
    s.panElapsed = 0;
}

void GameWorld::stopCamera() {
    State& s = state();
    s.cameraMode = FOLLOW;
    s.panElapsed = s.panDuration = 0;
}

}  // namespace game::world
