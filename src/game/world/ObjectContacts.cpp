#include "game/world/ObjectContacts.h"

#include <algorithm>

#include "game/world/FixedMath.h"
#include "game/world/FrameBoxes.h"
#include "game/world/GameWorld.h"
#include "game/world/TileCollision.h"
#include "game/world/TileRules.h"

namespace game::world {

namespace {

using State = GameWorld::State;

State& world() { return GameWorld::state(); }

struct Body {
    int cx, cy;           // centre, pixels
    int left, top, w, h;  // box
    int r;
    bool touches;  // not on the run-up: there objects would throw it back
};

Body body() {
    const auto& c = world().character;
    const int cx = c.sprite.x >> 16, cy = c.sprite.y >> 16;
    return {cx, cy, cx - c.boxWidth / 2, cy - c.boxHeight / 2, c.boxWidth, c.boxHeight, std::min(c.boxWidth, c.boxHeight) / 2,
            c.launchMode != 0};
}

// Sends the character back to where it was and away from (ccx, ccy),
// keeping `keep` percent of its speed.
void reflectFrom(int ccx, int ccy, int keep) {
    auto& c = world().character;
    const std::int64_t dx = std::int64_t{c.prevX >> 16} + c.boxWidth / 2 - ccx;
    const std::int64_t dy = std::int64_t{c.prevY >> 16} + c.boxHeight / 2 - ccy;
    const std::int64_t len = FixedMath::isqrt(dx * dx + dy * dy) | 1;
    const std::int64_t ux = dx * 256 / len, uy = dy * 256 / len;
    const std::int64_t vx = c.velX, vy = c.velY;
    const std::int64_t vn = ((vy * uy) >> 8) + ((vx * ux) >> 8);
    c.velX = FixedMath::wrap((vx - 2 * ((ux * vn) >> 8)) / 100 * keep);
    c.velY = FixedMath::wrap((vy - 2 * ((uy * vn) >> 8)) / 100 * keep);
    c.sprite.x = c.prevX;
    c.sprite.y = c.prevY;
}

// A hard knock: flying turns to bouncing, the smash power ends.
void knock(bool fromFlight) {
    auto& s = world();
    auto& c = s.character;
    if (fromFlight && c.launchMode == 1) {
        c.launchMode = 2;
        GameWorld::spawnEffect(c.sprite.x >> 16, c.sprite.y >> 16, 2);
    }
    c.superSmash = false;
    c.bounceCount += 1;
}

int levelParam(int i) {
    const auto& p = world().levelParams;
    return static_cast<std::size_t>(i) < p.size() ? p[static_cast<std::size_t>(i)] : 0;
}

// The empty cells of a switch's rectangle (clipped to the map) become
// barriers.
void raiseBarriers(const SpriteSheet& sw) {
    auto& s = world();
    const int col0 = std::max(sw.vx >> 16, 0), row0 = std::max(sw.vy >> 16, 0);
    const int col1 = std::min((sw.vx >> 16) + (sw.vx & 0xFF), s.mapCols);
    const int row1 = std::min((sw.vy >> 16) + (sw.vy & 0xFF), s.mapRows);
    for (int row = row0; row < row1; ++row) {
        for (int col = col0; col < col1; ++col) {
            if (TileCollision::tileAt(col, row) != 0) continue;
            TileCollision::setTile(col, row, TileRules::kBarrier);
            if ((col & 1) == (row & 1)) GameWorld::spawnEffect(col * s.tileWidth, row * s.tileHeight, 3);
        }
    }
}

void updateFinale(int dt, const Body& b) {
    auto& s = world();
    auto& f = s.finale;
    (f.isOpen ? f.opened : f.sprite).update(dt);
    if (!f.roaming) return;
    f.target.update(dt);
    f.travel.update(dt);
    if (f.travel.x == 0 || f.travel.y == 0) {
        const int col = FixedMath::floorDiv(f.target.x, s.tileWidth), row = FixedMath::floorDiv(f.target.y, s.tileHeight);
        if (TileRules::isEmptyCode(TileCollision::tileAt(col, row + 1))) ObjectContacts::hitRoamingTarget(false);
        else if (b.touches && GameWorld::boxHitsSprite(b.left, b.top, b.w, b.h, f.target.x, f.target.y, f.target)) ObjectContacts::hitRoamingTarget(true);
        return;
    }
    f.travel.vx += dt;
    if (f.travel.vx > f.travel.vy) {
        f.target.x = f.travel.x;
        f.target.y = f.travel.y;
        f.travel.x = f.travel.y = f.travel.vx = f.travel.vy = 0;
    }
}

}  // namespace

void ObjectContacts::updateObjects(int dt) {
    auto& s = world();
    const Body b = body();
    for (int slot = 0; slot < GameWorld::kObjectSlots; ++slot) {
        auto& entry = s.objects[static_cast<std::size_t>(slot)];
        if (!entry) continue;
        SpriteSheet& o = *entry;
        const int kind = o.kind;
        if (kind != 2 && kind != GameWorld::BUMPER && kind != GameWorld::SWITCH &&
            TileRules::isEmptyCode(TileCollision::tileAt(o.vx, o.vy))) {
            GameWorld::destroyObject(slot);
            continue;
        }
        if ((kind >= GameWorld::BUMPER && kind <= 9) || (kind >= 11 && kind <= 13)) {
            o.update(dt);
            // Only objects with a picture have a circle to hit.
            const FrameBoxes boxes(o, 0);
            if (!b.touches || boxes.count() == 0) continue;
            const FrameBoxes::Box circle = boxes.at(0);
            const int ccx = (o.x >> 16) + circle.x, ccy = (o.y >> 16) + circle.y, radius = circle.width;
            const std::int64_t dx = b.cx - ccx, dy = b.cy - ccy, reach = std::int64_t{radius} + b.r;
            if (std::abs(dx) >= reach || std::abs(dy) >= reach || dx * dx + dy * dy >= reach * reach) continue;
            reflectFrom(ccx, ccy, levelParam(6));
            if (kind == GameWorld::BUMPER) {
                GameWorld::spawnEffect(s.character.sprite.x >> 16, s.character.sprite.y >> 16, 1);
            } else {
                GameWorld::destroyObject(slot);
            }
            knock(true);
            if (s.unlocks & kUnlockTrail) s.character.trailTimer = kTrailMs;
            GameWorld::tumbleCharacter();
        } else if (kind == GameWorld::SWITCH) {
            // A switch works once: afterwards it shows frame 1 and waits.
            if (!b.touches || o.timer != 0 || o.getFrame() != 0) continue;
            if (!GameWorld::boxHitsSprite(b.left, b.top, b.w, b.h, o.x >> 16, o.y >> 16, o)) continue;
            raiseBarriers(o);
            o.timer = 1;
            const auto& a = o.getCurrentAnimation();
            if (a && (*a)[4] > 1) o.setFrame(1);
        } else if (kind == GameWorld::DECORATION) {
            o.update(dt);
        }
    }
    if (s.finale.present) updateFinale(dt, b);
}

void ObjectContacts::hitRoamingTarget(bool bounce) {
    auto& s = world();
    auto& f = s.finale;
    if (!f.roaming) return;
    const int tx = f.target.x, ty = f.target.y;
    if (bounce) {
        const FrameBoxes boxes(f.target, 0);
        const FrameBoxes::Box centre = boxes.count() > 0 ? boxes.at(0) : FrameBoxes::Box{};
        reflectFrom(tx + centre.x, ty + centre.y, kRoamingKeep);
    }
    f.hitsLeft -= 1;
    int next = -1;
    for (int i = 0; i < 12 && next < 0; i += 2)
        if (f.waypoints[static_cast<std::size_t>(i)] != 0 && f.waypoints[static_cast<std::size_t>(i + 1)] != 0) next = i;
    if (next >= 0) {
        const int wx = f.waypoints[static_cast<std::size_t>(next)], wy = f.waypoints[static_cast<std::size_t>(next + 1)];
        f.travel.x = wx;
        f.travel.y = wy;
        f.travel.vx = 0;
        f.travel.vy = FixedMath::mul(FixedMath::approxDistance(wy - ty, wx - tx), 8);
        f.waypoints[static_cast<std::size_t>(next)] = f.waypoints[static_cast<std::size_t>(next + 1)] = 0;
    } else {
        GameWorld::countStat(GameWorld::HIDDEN_TARGET, 1);
        GameWorld::spawnEffect(tx, ty, f.form <= 1 ? 20 : f.form == 2 ? 21 : 22);
        for (int i = 0; i < 26; ++i) {
            const int angle = GameWorld::nextRandom(255), speed = 50 + GameWorld::nextRandom(78);
            const int bx = 128 + ((FixedMath::sine(angle) * speed) >> 10), by = 128 + ((FixedMath::cosine(angle) * speed) >> 10);
            GameWorld::spawnEffect(tx, ty, ((bx | (by << 8)) << 8) | 11);
        }
        f.roaming = false;
        f.target.release();
        f.travel.release();
    }
    knock(bounce);
    GameWorld::spawnEffect(tx, ty, 3);
    GameWorld::spawnEffect(tx, ty, 1);
    GameWorld::restartScorePopup();
    s.comboCount += 1;
    if (s.comboCount >= 2) GameWorld::spawnEffect(tx, ty, FixedMath::shl(s.comboCount, 8) | 8);
    GameWorld::tumbleCharacter();
    GameWorld::smashFeedback();
}

}  // namespace game::world
