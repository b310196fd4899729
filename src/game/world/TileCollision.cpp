#include "game/world/TileCollision.h"

#include <cstdlib>

#include "game/world/FixedMath.h"
#include "game/world/GameWorld.h"
#include "game/world/TileRules.h"

namespace game::world {

namespace {

GameWorld::State& world() { return GameWorld::state(); }

int levelParam(int i) {
    const auto& p = world().levelParams;
    return i >= 0 && static_cast<std::size_t>(i) < p.size() ? p[static_cast<std::size_t>(i)] : 0;
}

void characterEffect(int kind) {
    const auto& c = world().character.sprite;
    GameWorld::spawnEffect(c.x >> 16, c.y >> 16, kind);
}

}  // namespace

int TileCollision::tileAt(int col, int row) {
    const auto& s = world();
    if (col < 0 || col >= s.mapCols || row >= s.mapRows) return TileRules::kPadCorner;
    if (row < 0) return 0;
    return s.tileMap[static_cast<std::size_t>(row) * static_cast<std::size_t>(s.mapCols) + static_cast<std::size_t>(col)];
}

void TileCollision::setTile(int col, int row, int code) {
    auto& s = world();
    if (col < 0 || col >= s.mapCols || row < 0 || row >= s.mapRows) return;
    s.tileMap[static_cast<std::size_t>(row) * static_cast<std::size_t>(s.mapCols) + static_cast<std::size_t>(col)] =
        static_cast<std::uint8_t>(code);
}

bool TileCollision::isSolidAt(int x, int y) {
    const auto& s = world();
    return TileRules::tileKind(tileAt(FixedMath::floorDiv(x, s.tileWidth), FixedMath::floorDiv(y, s.tileHeight))) != 0;
}

void TileCollision::surfaceOf(int code) {
    const auto p = TileRules::props(code);
    world().friction = levelParam(p.frictionIndex);
    world().restitution = levelParam(p.restitutionIndex);
}

int TileCollision::touchTile(int x, int y, int mode) {
    auto& s = world();
    const int col = FixedMath::floorDiv(x, s.tileWidth), row = FixedMath::floorDiv(y, s.tileHeight);
    const int code = tileAt(col, row);
    const int kind = TileRules::tileKind(code);
    if (kind == 0) return FREE;
    int result = WALL;
    if (TileRules::isSlopeKind(kind)) {
        if (!TileRules::inTriangle(kind, x - col * s.tileWidth, y - row * s.tileHeight, s.tileWidth, s.tileHeight)) return FREE;
        result = SLOPE;
    }
    const auto breaks = mode == PROBE ? std::nullopt : TileRules::breakable(code);
    if (breaks && mode == CRASH) {
        const bool smash = s.character.superSmash;
        const int replacement = smash ? 0 : breaks->replacement;
        setTile(col, row, replacement);
        if (replacement == 0) s.destroyedTiles += 1;
        s.tileSmashed = true;
        characterEffect(12);
        if (smash || !breaks->bounce) result = FREE;
    } else if (breaks) {
        setTile(col, row, breaks->replacement);
        if (!breaks->bounce) result = FREE;
    }
    if (result != FREE && mode != PROBE) surfaceOf(code);
    s.lastTile = code;
    s.contactX = x;
    s.contactY = y;
    return result;
}

int TileCollision::sweep(int x, int y, int w, int h, int dx, int dy, int mode) {
    auto& s = world();
    const int x0 = x >> 16, y0 = y >> 16;
    const int mx = (FixedMath::add(x, dx) >> 16) - x0, my = (FixedMath::add(y, dy) >> 16) - y0;
    s.friction = s.restitution = 0;
    s.allowedMoveX = dx;
    s.allowedMoveY = dy;
    const int n = std::max({std::abs(mx), std::abs(my), 1});
    int result = FREE, k = 1, px = x0, py = y0;
    for (; k <= n && result == FREE; ++k) {
        px = x0 + static_cast<int>(std::int64_t{k} * mx / n);
        py = y0 + static_cast<int>(std::int64_t{k} * my / n);
        if (px < 0 || std::int64_t{px} + w > s.mapPixelWidth - 1 || std::int64_t{py} + h > s.mapPixelHeight - 1 ||
            (!s.crashStage && py < 0)) {
            result = EDGE;
            s.friction = s.restitution = kEdgeSurface;
            break;
        }
        for (const auto& [cx, cy] : {std::pair{px, py + h}, {px + w, py + h}, {px, py}, {px + w, py}}) {
            result = touchTile(cx, cy, mode);
            if (result != FREE) break;
        }
        if (result != FREE) break;
    }
    if (result == FREE) return FREE;
    s.allowedMoveX = FixedMath::shl(static_cast<int>(std::int64_t{k - 1} * mx / n), 16);
    s.allowedMoveY = FixedMath::shl(static_cast<int>(std::int64_t{k - 1} * my / n), 16);

    int nx = 0, ny = 0;
    if (result == SLOPE) {
        const int kind = TileRules::tileKind(s.lastTile);
        const int cellX = FixedMath::floorDiv(s.contactX, s.tileWidth) * s.tileWidth;
        const int cellY = FixedMath::floorDiv(s.contactY, s.tileHeight) * s.tileHeight;
        if (TileRules::sideTest(kind, x0 + w / 2 - cellX, y0 + h / 2 - cellY, s.tileWidth, s.tileHeight)) {
            const auto normal = TileRules::slopeNormal(kind);
            nx = normal.x;
            ny = normal.y;
        } else {
            s.friction = levelParam(7);
            s.restitution = levelParam(8);
        }
    } else {
        if (dx > 0 && (isSolidAt(px + w, py) || isSolidAt(px + w, py + h))) nx = -256;
        if (dx < 0 && (isSolidAt(px, py) || isSolidAt(px, py + h))) nx = 256;
        if (dy > 0 && (isSolidAt(px, py + h) || isSolidAt(px + w, py + h))) ny = -256;
        if (dy < 0 && (isSolidAt(px, py) || isSolidAt(px + w, py))) ny = 256;
    }
    if (nx == 0 && ny == 0) {
        if (dy != 0) ny = dy > 0 ? -256 : 256;
        else nx = dx > 0 ? -256 : 256;
    }
    s.contactNormalX = nx;
    s.contactNormalY = ny;
    if (mode == CRASH && result != EDGE && (s.unlocks & kUnlockSmashNeighbours)) {
        const int col = FixedMath::floorDiv(s.contactX, s.tileWidth), row = FixedMath::floorDiv(s.contactY, s.tileHeight);
        smashTile(col, row);
        smashTile(col, row - 1);
        smashTile(col, row + 1);
        smashTile(col - 1, row);
        smashTile(col + 1, row);
    }
    return result;
}

void TileCollision::smashTile(int col, int row) {
    auto& s = world();
    if (col < 0 || col >= s.mapCols || row < 0 || row >= s.mapRows) return;
    if (const auto b = TileRules::breakable(tileAt(col, row))) {
        setTile(col, row, b->replacement);
        if (b->replacement == 0) s.destroyedTiles += 1;
    }
}

void TileCollision::bounce(int& velX, int& velY) {
    const auto& s = world();
    const std::int64_t nx = s.contactNormalX, ny = s.contactNormalY;
    const std::int64_t len = FixedMath::isqrt(nx * nx + ny * ny) | 1;
    const std::int64_t ux = (nx << 8) / len, uy = (ny << 8) / len;
    const std::int64_t vx = velX, vy = velY;
    const std::int64_t vt = ((vx * -uy) >> 8) + ((vy * ux) >> 8);
    const std::int64_t vn = ((vx * ux) >> 8) + ((vy * uy) >> 8);
    velX = FixedMath::wrap(((-((vn * ux) >> 8) * s.restitution) >> 8) + ((((-uy * vt) >> 8) * s.friction) >> 8));
    velY = FixedMath::wrap(((-((vn * uy) >> 8) * s.restitution) >> 8) + ((((vt * ux) >> 8) * s.friction) >> 8));
}

}  // namespace game::world
