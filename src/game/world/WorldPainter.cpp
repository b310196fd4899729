#include "game/world/WorldPainter.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "game/MainCanvas.h"
#include "game/ui/TextPanel.h"
#include "game/world/FixedMath.h"
#include "game/world/FrameBoxes.h"
#include "game/world/GameWorld.h"
#include "game/world/TileRules.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game::world {

namespace {

using javax::microedition::lcdui::Graphics;
using State = GameWorld::State;

constexpr int W = MainCanvas::kScreenWidth, H = MainCanvas::kScreenHeight;
// The breakable cells' part of the tile picture is laid out in 40 x 32 cells
// whatever the level's cell size.
constexpr int kBreakableWidth = 40, kBreakableHeight = 32;
constexpr int kMultiplySign = 10;  // glyph frame of the floating numbers

int wrapInto(int offset, int size) {
    const int m = offset % size;
    return m > 0 ? m - size : m;
}

// A sprite repeated over the whole screen from the offset, wrapped by its
// size; a sprite without a size is skipped.
void tileScreen(Graphics& g, const SpriteSheet& s, int ox, int oy) {
    const int w = s.getExtentX(), h = s.getExtentY();
    if (w <= 0 || h <= 0) return;
    for (int y = wrapInto(oy, h); y < H; y += h)
        for (int x = wrapInto(ox, w); x < W; x += w) s.draw(g, x, y);
}

// The drift of the overlays and the pattern, away from or with the level
// number's bit 1.
int drift(const State& s, int shift) {
    const int d = s.overlayClock >> shift;
    return (s.levelNumber & 2) ? -d : d;
}

void drawBackdrops(Graphics& g, const State& s, int yBase) {
    const SpriteSheet& b0 = s.backdrops[0];
    if (const int w = b0.getExtentX(); w > 0)
        for (int x = 200 - w; x - b0.getRefX() < W; x += w) b0.draw(g, x, yBase - WorldPainter::kSkyBand);
    const SpriteSheet& b1 = s.backdrops[1];
    if (const int w = b1.getExtentX(); w > 0) {
        int x = 200 - w - static_cast<int>(std::int64_t{w} * (s.levelClock % 4000) / 4000);
        while (x < -w) x += w;
        for (; x < W + 300; x += w) b1.draw(g, x, yBase);
    }
}

struct CellRange {
    int col0, col1, row0, row1;  // inclusive; empty when col0 > col1
};

// The cells on screen, inside the map.
CellRange visibleCells(const State& s) {
    const int c = FixedMath::floorDiv(s.cameraX, s.tileWidth), r = FixedMath::floorDiv(s.cameraY, s.tileHeight);
    return {std::max(c, 0), std::min(c + W / s.tileWidth + 1, s.mapCols - 1), std::max(r, 0),
            std::min(r + H / s.tileHeight + 1, s.mapRows - 1)};
}

class TileSheet {
public:
    TileSheet(const State& s, int cellW, int cellH) : image_(s.tileImage), w_(cellW), h_(cellH) {
        if (image_ && w_ > 0 && h_ > 0) {
            perRow_ = image_->getWidth() / w_;
            rows_ = image_->getHeight() / h_;
        }
    }
    // Tile t at (x, y); tiles the picture does not hold are not drawn.
    void draw(Graphics& g, int t, int x, int y) const {
        if (perRow_ <= 0 || t < 0 || t / perRow_ >= rows_) return;
        g.drawRegion(image_, (t % perRow_) * w_, (t / perRow_) * h_, w_, h_, 0, x, y, Graphics::TOP | Graphics::LEFT);
    }

private:
    std::shared_ptr<javax::microedition::lcdui::Image> image_;
    int w_, h_, perRow_ = 0, rows_ = 0;
};

void drawTiles(Graphics& g, const State& s) {
    const CellRange v = visibleCells(s);
    const TileSheet tiles(s, s.tileWidth, s.tileHeight);
    for (int row = v.row0; row <= v.row1; ++row) {
        const int y = row * s.tileHeight - s.cameraY;
        for (int col = v.col0; col <= v.col1; ++col) {
            const std::size_t i = static_cast<std::size_t>(row) * static_cast<std::size_t>(s.mapCols) + static_cast<std::size_t>(col);
            const int x = col * s.tileWidth - s.cameraX;
            if (const int d = s.decorLayer[i]) tiles.draw(g, d, x, y);
            const int c = s.tileMap[i];
            if (c == TileRules::kBarrier) s.barrier.draw(g, x, y);
            else if (c >= TileRules::kFirstFixedTile) tiles.draw(g, c, x, y);
        }
    }
    // Breakable cells, bottom row first. Empty cells draw nothing: the
    // picture's first cell is transparent.
    const TileSheet breakables(s, kBreakableWidth, kBreakableHeight);
    for (int row = v.row1; row >= v.row0; --row) {
        const int y = row * s.tileHeight - s.cameraY;
        for (int col = v.col0; col <= v.col1; ++col) {
            const int c = s.tileMap[static_cast<std::size_t>(row) * static_cast<std::size_t>(s.mapCols) + static_cast<std::size_t>(col)];
            if (c > 0 && c < TileRules::kFirstFixedTile) breakables.draw(g, c, col * s.tileWidth - s.cameraX, y);
        }
    }
}

void drawFinale(Graphics& g, State& s) {
    const auto& f = s.finale;
    const int cx = s.cameraX, cy = s.cameraY;
    g.setColor(0);
    g.drawLine(f.ropeX - cx, f.ropeBottomY - cy, f.ropeX - cx, f.ropeTopY - cy);
    const SpriteSheet& finale = f.isOpen ? f.opened : f.sprite;
    finale.draw(g, f.sprite.x - cx, f.sprite.y - cy);
    if (!f.roaming) return;
    const SpriteSheet& t = f.target;
    const SpriteSheet& tr = f.travel;
    if (tr.x == 0 || tr.y == 0) {
        t.draw(g, t.x - cx, t.y - cy);
        return;
    }
    // Travelling: along the line to the destination on an arc.
    const std::int64_t duration = std::max(tr.vy, 1), progress = std::clamp<std::int64_t>(tr.vx, 0, duration);
    const int x = t.x + static_cast<int>((std::int64_t{tr.x} - t.x) * progress / duration);
    const int lift = (FixedMath::sine(static_cast<int>(progress * 128 / duration) & 255) * 128) >> 10;
    const int y = t.y + static_cast<int>((std::int64_t{tr.y} - t.y) * progress / duration) - lift;
    (tr.getCurrentAnimation() ? tr : t).draw(g, x - cx, y - cy);
}

// A combo count drawn as glyph rectangles, growing in and fading to gold.
void drawNumber(Graphics& g, const SpriteSheet& digits, const SpriteSheet& e, int x, int y) {
    if (!digits.getCurrentAnimation()) return;
    const int life = std::clamp(e.timer, 0, 1500), age = 1500 - life;
    const int s = age < 376 ? age * 256 / 375 : age <= 1125 ? 255 : 255 - (375 - life) * 256 / 375;
    const int scale = s * 4 + 512;
    g.setColor(((age * 255 + life * 95) / 1500) << 16 | ((life * 32 + age * 252) / 1500) << 8 | (age * 126 / 1500));
    std::vector<int> glyphs = {kMultiplySign};
    for (char ch : std::to_string(std::abs(static_cast<long>(e.vx)))) glyphs.push_back(ch - '0');
    // A glyph's advance and height are the extent of its boxes.
    auto extent = [&](int f, bool height) {
        const FrameBoxes boxes(digits, f);
        int m = 0;
        for (int i = 0; i < boxes.count(); ++i) {
            const auto b = boxes.at(i);
            m = std::max(m, height ? b.y + b.height : b.x + b.width);
        }
        return m;
    };
    int width = 0;
    for (int f : glyphs) width += extent(f, false);
    const int glyphHeight = extent(glyphs[0], true);
    int left = x - ((width * scale) >> 8) / 2;
    const int top = y - glyphHeight * scale / 512 - ((glyphHeight * scale) >> 8);
    for (int f : glyphs) {
        const FrameBoxes boxes(digits, f);
        for (int i = 0; i < boxes.count(); ++i) {
            const auto b = boxes.at(i);
            g.fillRect(left + ((b.x * scale) >> 8), top + ((b.y * scale) >> 8), (b.width * scale + 255) >> 8, (b.height * scale + 255) >> 8);
        }
        left += (extent(f, false) * scale) >> 8;
    }
}

}  // namespace

int WorldPainter::skyBase() {
    const State& s = GameWorld::state();
    const std::int64_t span = (std::int64_t{H} - s.mapPixelHeight) | 1;
    if (std::llabs(span) < 30) return H / 2;
    const std::int64_t maxH = std::max(600, H);
    return static_cast<int>(H / 2 + (maxH - H) * ((std::int64_t{s.cameraY} * 100) / span) / 100);
}

void WorldPainter::drawWorld(Graphics& g) {
    State& s = GameWorld::state();
    g.setClip(0, 0, W, H);
    const int yBase = skyBase();
    const auto& c = s.themePalette;
    g.setColor(c[0]);
    g.fillRect(0, 0, W, yBase - kSkyBand);
    g.setColor(c[3]);
    g.fillRect(0, yBase + kSkyBand, W, H - yBase - kSkyBand);
    TextPanel::gradient(g, 0, yBase - kSkyBand, W, kSkyBand, c[0], c[1], kSkyStep);
    TextPanel::gradient(g, 0, yBase, W, kSkyBand, c[2], c[3], kSkyStep);
    drawBackdrops(g, s, yBase);
    const int clock = s.overlayClock;
    if (s.theme == 2 && s.crashStage) {
        const int d = drift(s, 6);
        tileScreen(g, s.themePattern, ((FixedMath::cosine(2 * (clock >> 10)) * 17) >> 10) - s.cameraX + d, -s.cameraY - d);
    } else if (s.overlay) {
        tileScreen(g, s.backOverlay, ((FixedMath::sine(((clock >> 13) * 2 + 64) & 255) * 7) >> 10) - s.cameraX / 4,
                   -(s.cameraY / 4 - (clock >> 7)));
    }
    drawTiles(g, s);
}

void WorldPainter::drawFrontOverlay(Graphics& g) {
    const State& s = GameWorld::state();
    if (!s.overlay || s.theme == 2) return;
    g.setClip(0, 0, W, H);
    const int d = drift(s, 6);
    tileScreen(g, s.frontOverlay, ((FixedMath::sine((s.overlayClock >> 11) & 255) * 15) >> 10) - s.cameraX / 2 + d,
               -(s.cameraY / 2 - d));
}

void WorldPainter::drawObjects(Graphics& g) {
    State& s = GameWorld::state();
    g.setClip(0, 0, W, H);
    for (const auto& o : s.objects) {
        if (!o || o->kind == 0 || o->kind == 2) continue;
        const int x = (o->x >> 16) - s.cameraX, y = (o->y >> 16) - s.cameraY;
        const int ex = o->getExtentX(), ey = o->getExtentY();
        if (x + ex > 0 && x - ex < W && y + ey > 0 && y - ey < H) o->draw(g, x, y);
    }
    if (s.finale.present) drawFinale(g, s);
}

void WorldPainter::drawEffects(Graphics& g) {
    State& s = GameWorld::state();
    g.setClip(0, 0, W, H);
    for (const auto& e : s.effects) {
        if (!e) continue;
        const int x = (e->x >> 16) - s.cameraX, y = (e->y >> 16) - s.cameraY;
        if (e->kind == 8) {
            drawNumber(g, s.floatingDigits, *e, x, y);
        } else if (e->kind == 6 && s.launchPowered && s.powerUp.getCurrentAnimation()) {
            const int frames = (*s.powerUp.getCurrentAnimation())[4];
            s.powerUp.setFrame(std::min(e->getFrame(), frames - 1));
            s.powerUp.draw(g, x, y);
        } else {
            e->draw(g, x, y);
        }
    }
}

}  // namespace game::world
