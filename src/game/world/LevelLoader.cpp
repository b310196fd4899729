#include "game/world/LevelLoader.h"

#include <algorithm>
#include <cstdlib>

#include "game/MainCanvas.h"
#include "game/format/LevelFile.h"
#include "game/world/FixedMath.h"
#include "game/world/FrameBoxes.h"
#include "game/world/GameWorld.h"
#include "game/world/TileRules.h"
#include "java/io/DataReader.h"
#include "java/lang/Exceptions.h"
#include "platform/Console.h"

namespace game::world {

namespace {

using format::LevelFile;
using format::LevelRecord;

constexpr int kFinaleSprite = 0x50055, kFinaleOpened = 0x50059;
constexpr std::array<std::array<std::int32_t, 2>, 3> kRoamingSprites = {{{0x50035, 0x50037}, {0x50044, 0x50048}, {0x5003F, 0x50046}}};
// Tiles that always carry a decoration: (tile code, decoration code).
constexpr std::array<std::array<int, 2>, 14> kDecorPairs = {{{64, 53}, {65, 53}, {62, 53}, {63, 53}, {60, 52}, {61, 52}, {2, 69},
                                                             {3, 69}, {9, 70}, {10, 71}, {15, 70}, {16, 71}, {40, 68}, {39, 68}}};
// The tuning values that are friction or restitution (1/256).
constexpr int kFirstSurfaceParam = 7, kLastSurfaceParam = 22;

class Loader {
public:
    Loader(GameWorld::State& s, int map) : s_(s), map_(map) {}

    void run(std::span<const std::uint8_t> file, bool headerOnly, int padMode) {
        s_.finale = GameWorld::Finale{};
        s_.hasBarriers = false;
        const int maps = LevelFile::mapCount(file);
        if (map_ < 0 || map_ >= maps)
            throw java::io::IOException(name() + " is not in the level file, which holds " + std::to_string(maps) + " maps");
        java::io::DataReader in(file);
        try {
            in.readUnsignedByte();
            in.readFully(4 * static_cast<std::size_t>(map_));
            const std::int64_t at = 5 + 4 * std::int64_t{map_} + in.readInt();
            if (at < 0 || at > static_cast<std::int64_t>(file.size()))
                throw java::io::IOException(name() + " starts at byte " + std::to_string(at) + ", outside the level file");
            java::io::DataReader block(file.subspan(static_cast<std::size_t>(at)));
            readGrid(block, padMode);
            buildDecorations();
            readRecords(block, headerOnly);
        } catch (const java::io::EOFException& e) {
            throw java::io::EOFException(name() + " ends early: " + e.getMessage());
        }
    }

private:
    std::string name() const { return "map " + std::to_string(map_); }
    void note(const std::string& what) { platform::Console::println(name() + ": " + what); }
    std::size_t index(int col, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(s_.mapCols) + static_cast<std::size_t>(col);
    }
    std::uint8_t& cell(int col, int row) { return s_.tileMap[index(col, row)]; }

    void readGrid(java::io::DataReader& in, int padMode) {
        int cols = in.readUnsignedByte(), rows = in.readUnsignedByte();
        s_.storedCols = cols;
        s_.storedRows = rows;
        s_.padMode = padMode;
        int padLeft = 0, padTop = 0, padBottom = 0;
        if (padMode == LevelLoader::PAD_BELOW || padMode == LevelLoader::PAD_ABOVE) {
            const int minCols = MainCanvas::kScreenWidth / GameWorld::kCellWidth + 1;
            const int minRows = MainCanvas::kScreenHeight / GameWorld::kCellHeight + 1;
            if (cols < minCols) {
                padLeft = minCols - cols;
                cols = minCols;
            }
            if (rows < minRows) {
                (padMode == LevelLoader::PAD_BELOW ? padBottom : padTop) = minRows - rows;
                rows = minRows;
            }
        }
        s_.mapCols = cols;
        s_.mapRows = rows;
        s_.padLeft = padLeft;
        s_.padTop = padTop;
        s_.tileMap.assign(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows), TileRules::kPadMarker);
        const int storedEnd = rows - padBottom;
        const auto stored = in.readFully(static_cast<std::size_t>(s_.storedCols) * static_cast<std::size_t>(s_.storedRows));
        int unknown = 0, firstUnknown = 0;
        for (int r = padTop; r < storedEnd; ++r) {
            for (int c = padLeft; c < cols; ++c) {
                int code = stored[static_cast<std::size_t>(r - padTop) * static_cast<std::size_t>(s_.storedCols) + static_cast<std::size_t>(c - padLeft)];
                if (!TileRules::isKnownCode(code)) {
                    if (unknown++ == 0) firstUnknown = code;
                    code = 0;
                }
                if (code == TileRules::kBarrier && map_ != LevelLoader::kTableMap) s_.hasBarriers = true;
                cell(c, r) = static_cast<std::uint8_t>(code);
            }
        }
        if (unknown > 0)
            note(std::to_string(unknown) + " cells hold codes outside the tile table (first " + std::to_string(firstUnknown) + "); they are left empty");
        if (padLeft + padTop + padBottom > 0) fillPadding(padMode, padTop, storedEnd);
    }

    // Padding continues the map's edges: the first stored row upwards, the
    // last one downwards and the first stored column to the left (slopes
    // there become plain walls); the corners are walls, except above the
    // map in pad mode 2, which is open sky.
    void fillPadding(int padMode, int padTop, int storedEnd) {
        const int padLeft = s_.padLeft;
        for (int r = 0; r < s_.mapRows; ++r) {
            const bool inStoredRows = r >= padTop && r < storedEnd;
            for (int c = 0; c < s_.mapCols; ++c) {
                if (cell(c, r) != TileRules::kPadMarker) continue;
                if (c < padLeft && !inStoredRows) {
                    cell(c, r) = (padMode == LevelLoader::PAD_ABOVE && r < padTop) ? 0 : TileRules::kPadCorner;
                } else if (c < padLeft) {
                    const int code = padLeft < s_.mapCols ? cell(padLeft, r) : TileRules::kPadCorner;
                    cell(c, r) = static_cast<std::uint8_t>(TileRules::isSlopeCode(code) ? TileRules::kPadSlope : code);
                } else if (storedEnd > padTop) {
                    cell(c, r) = cell(c, r < padTop ? padTop : storedEnd - 1);
                } else {
                    cell(c, r) = TileRules::kPadCorner;  // nothing stored to continue
                }
            }
        }
    }

    void buildDecorations() {
        s_.decorLayer.assign(s_.tileMap.size(), 0);
        for (std::size_t i = 0; i < s_.tileMap.size(); ++i)
            for (const auto& [tile, decor] : kDecorPairs)
                if (s_.tileMap[i] == tile) s_.decorLayer[i] = static_cast<std::uint8_t>(decor);
    }

    void readRecords(java::io::DataReader& in, bool headerOnly) {
        const int count = in.readShort();
        if (count < 0) throw java::io::IOException(name() + ": record count " + std::to_string(count));
        GameWorld::clearObjects();
        s_.mapNumber = map_;
        setCellSize(s_.tileWidth, s_.tileHeight);
        for (record_ = 0; record_ < count; ++record_) {
            const LevelRecord r = LevelFile::readRecord(in);
            if (r.code == LevelFile::Header) {
                header(r.values, headerOnly);
                if (headerOnly) return;
            } else {
                apply(r.code, r.values);
            }
        }
        s_.finale.present = s_.finale.roaming;
    }

    std::string where() const { return "record " + std::to_string(record_); }

    void setCellSize(int w, int h) {
        s_.tileWidth = w;
        s_.tileHeight = h;
        s_.speedScaleX = w * 0x1800;
        s_.speedScaleY = h * 0x1800;
        s_.mapPixelWidth = s_.mapCols * w;
        s_.mapPixelHeight = s_.mapRows * h;
        s_.cameraZone = {0, 0, s_.mapPixelWidth, s_.mapPixelHeight};
    }

    void header(const std::vector<int>& v, bool headerOnly) {
        const int flags = v[2], kind = v[3];
        s_.targetCount = v[4];
        std::vector<int> params(v.begin() + 7, v.end());
        if (static_cast<int>(params.size()) < GameWorld::kMinParams) {
            note(where() + ": " + std::to_string(params.size()) + " level parameters, " + std::to_string(GameWorld::kMinParams) + " expected; the rest are 0");
            params.resize(GameWorld::kMinParams, 0);
        }
        clampParam(params, LevelLoader::kParamDrag, 1, 32767, "the air drag divisor");
        clampParam(params, LevelLoader::kParamBounceKeep, 0, 100, "the bounce percent");
        clampParam(params, LevelLoader::kParamSpeedLimit, 0, 32767, "the speed limit");
        for (int i = kFirstSurfaceParam; i <= kLastSurfaceParam; ++i) clampParam(params, i, 0, 256, "a friction or restitution");
        s_.levelParams = std::move(params);
        s_.overlay = flags == 1;
        s_.airStart = (flags & 2) != 0;
        s_.bonusLevel = kind == 3;
        if (headerOnly) return;
        if (kind != 2) setCellSize(GameWorld::kCellWidth, GameWorld::kCellHeight);
        s_.startX = FixedMath::shl(v[0] * s_.tileWidth, 16);
        s_.startY = FixedMath::shl((v[1] + s_.padTop) * s_.tileHeight, 16);
    }

    // A tuning value of the swing records brought into its range.
    int clampValue(int v, int low, int high, const char* what) {
        if (v >= low && v <= high) return v;
        const int c = std::clamp(v, low, high);
        note(where() + ": " + what + " " + std::to_string(v) + " becomes " + std::to_string(c));
        return c;
    }

    void clampParam(std::vector<int>& p, int i, int low, int high, const char* what) {
        const int v = p[static_cast<std::size_t>(i)];
        if (v >= low && v <= high) return;
        p[static_cast<std::size_t>(i)] = std::clamp(v, low, high);
        note(where() + ": level parameter " + std::to_string(i) + " (" + what + ") " + std::to_string(v) + " becomes " +
             std::to_string(p[static_cast<std::size_t>(i)]));
    }

    int px(int col) const { return (col + s_.padLeft) * s_.tileWidth; }
    int py(int row) const { return (row + s_.padTop) * s_.tileHeight; }
    // The object placed at a stored cell, or null when no slot is free.
    SpriteSheet* place(int col, int row, int kind) {
        const int slot = GameWorld::spawnObject(col + s_.padLeft, row + s_.padTop, kind);
        if (slot >= 0) return &*s_.objects[static_cast<std::size_t>(slot)];
        note(where() + ": no free object slot; the object is dropped");
        return nullptr;
    }

    void apply(int code, const std::vector<int>& v) {
        switch (code) {
            case LevelFile::Bumper:
                if (SpriteSheet* o = place(v[0], v[1], GameWorld::BUMPER)) {
                    o->x = FixedMath::add(o->x, FixedMath::shl(v[2], 16));
                    o->y = FixedMath::add(o->y, FixedMath::shl(v[3], 16));
                }
                break;
            case LevelFile::Object:
                if (v[0] > 10) note(where() + ": object sub-kind " + std::to_string(v[0]) + " is not 0..10; skipped");
                else place(v[1], v[2], GameWorld::FIRST_TARGET + v[0]);
                break;
            case LevelFile::Decoration: place(v[0], v[1], GameWorld::DECORATION); break;
            case LevelFile::Camera:
                s_.initialCameraX = std::min(std::max(px(v[0]) - MainCanvas::kScreenWidth / 2, 0), s_.mapPixelWidth - MainCanvas::kScreenWidth);
                s_.initialCameraY = std::min(std::max(py(v[1]) - MainCanvas::kScreenHeight / 2, 0), s_.mapPixelHeight - MainCanvas::kScreenHeight);
                break;
            case LevelFile::Switch:
                // The rectangle it toggles: cell in the high half, size in the low byte.
                if (SpriteSheet* o = place(v[0], v[1], GameWorld::SWITCH)) {
                    o->vx = ((v[2] + s_.padLeft) << 16) | v[4];
                    o->vy = ((v[3] + s_.padTop) << 16) | v[5];
                }
                break;
            case LevelFile::Finale: finale(v); break;
            case LevelFile::Bat: {
                auto& b = s_.swing;
                b.batPivotX = FixedMath::shl(px(v[0]) + v[6], 16);
                b.batPivotY = FixedMath::shl(py(v[1]) + v[7], 16);
                b.batRestAngle = clampValue(v[2], 0, 255, "the bat's rest angle");
                b.batLength = v[3];
                b.batKick = clampValue(v[4], 1, LevelLoader::kMaxBatKick, "the bat's swing speed");
                b.batBrake = clampValue(v[5], LevelLoader::minBatBrake(b.batKick), 32767, "the bat's brake");
                b.batPower = clampValue(v[8], 0, LevelLoader::kMaxBatPower, "the bat's power");
                break;
            }
            case LevelFile::Drop:
                s_.swing.dropX = px(v[0]);
                s_.swing.dropY = py(v[1]) + s_.tileHeight;
                s_.swing.dropSpread = v[2];
                s_.swing.dropSpeed = v[3];
                s_.swing.dropMode = v[4] >= 0 && v[4] <= LevelLoader::kMaxDropMode ? v[4] : 0;
                if (s_.swing.dropMode != v[4]) note(where() + ": drop mode " + std::to_string(v[4]) + " is not 0..3; the character falls");
                break;
            case LevelFile::SmashTarget:
            case LevelFile::AimTarget: {
                const int x = px(v[0]) + v[2], y = py(v[1]) + s_.tileHeight / 2;
                (code == LevelFile::SmashTarget ? s_.swing.smashTargetX : s_.swing.aimTargetX) = x;
                (code == LevelFile::SmashTarget ? s_.swing.smashTargetY : s_.swing.aimTargetY) = y;
                break;
            }
            case LevelFile::CameraZone:
                s_.cameraZone = {px(v[0]), py(v[1]), s_.tileWidth * v[2], v[3] * s_.tileHeight};
                break;
            case LevelFile::LevelRow:
                if (v[0] >= GameWorld::kLevelRows) {
                    note(where() + ": level table slot " + std::to_string(v[0]) + " is not 0.." + std::to_string(GameWorld::kLevelRows - 1) + "; skipped");
                } else {
                    s_.levelTable[static_cast<std::size_t>(v[0])] = {v[3], v[4], v[1], v[2]};
                    s_.levelTableLoaded = true;
                }
                break;
            default: break;
        }
    }

    void finale(const std::vector<int>& v) {
        auto& f = s_.finale;
        const int form = v[0];
        const auto& pair = kRoamingSprites[static_cast<std::size_t>(std::min(form, 2))];
        f.form = form + 1;
        GameWorld::countStat(GameWorld::HIDDEN_TARGET, 0);
        f.target = GameWorld::makeSprite(pair[0], true);
        f.travel = GameWorld::makeSprite(pair[1], true);
        f.roaming = true;
        // An empty waypoint has a zero coordinate in the file, whatever the
        // padding adds.
        int set = 0;
        for (int i = 0; i < 6; ++i) {
            const int col = v[static_cast<std::size_t>(1 + 2 * i)], row = v[static_cast<std::size_t>(2 + 2 * i)];
            const bool empty = col == 0 || row == 0;
            f.waypoints[static_cast<std::size_t>(2 * i)] = empty ? 0 : px(col);
            f.waypoints[static_cast<std::size_t>(2 * i + 1)] = empty ? 0 : py(row);
            if (!empty) ++set;
        }
        f.hitsLeft = f.hitsAtStart = 1 + set;
        const int x = px(v[13]), y = py(v[14]), n = std::abs(v[15]);
        f.target.x = x;
        f.target.y = y;
        f.sprite = GameWorld::makeSprite(kFinaleSprite, false);
        f.opened = GameWorld::makeSprite(kFinaleOpened, false);
        f.isOpen = false;
        f.sprite.x = x;
        f.sprite.y = y;
        const FrameBoxes anchor(f.sprite, 0);
        const FrameBoxes::Box b = anchor.count() > 0 ? anchor.at(0) : FrameBoxes::Box{};
        f.ropeX = x + b.x;
        f.ropeBottomY = y + b.y;
        f.revealX = f.ropeX;
        f.revealY = f.ropeBottomY + 2 * s_.tileHeight;
        f.sprite.vx = f.revealX;
        f.sprite.vy = f.revealY;
        f.ropeTopY = n == 0 ? f.ropeBottomY
                            : FixedMath::floorDiv(f.ropeBottomY, s_.tileHeight) * s_.tileHeight - (n - 1) * s_.tileHeight;
    }

    GameWorld::State& s_;
    int map_;
    int record_ = 0;
};

}  // namespace

int LevelLoader::minBatBrake(int kick) {
    return std::max<int>(1, static_cast<int>(std::int64_t{kick} * kick * 512 / kMaxBatTurn + 1));
}

void LevelLoader::loadLevel(std::span<const std::uint8_t> file, int map, bool headerOnly, int padMode) {
    GameWorld::State& s = GameWorld::state();
    GameWorld::State before = s;
    try {
        Loader(s, map).run(file, headerOnly, padMode);
    } catch (...) {
        s = std::move(before);
        throw;
    }
}

void LevelLoader::loadLevel(int map, bool headerOnly, int padMode) {
    const auto bytes = MainCanvas::resourceBytes(kLevelFile);
    MainCanvas::dropPackCache();
    if (!bytes) throw java::io::IOException("the level file is missing");
    loadLevel(*bytes, map, headerOnly, padMode);
}

}  // namespace game::world
