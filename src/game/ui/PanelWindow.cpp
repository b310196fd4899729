#include "game/ui/PanelWindow.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/ui/TextPanel.h"
#include "game/world/FixedMath.h"
#include "game/world/FrameBoxes.h"
#include "game/world/GameWorld.h"
#include "javax/microedition/lcdui/Graphics.h"

namespace game {

using javax::microedition::lcdui::Graphics;
using world::GameWorld;

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;
enum Piece : int { TOP = 0, TOP_RIGHT = 1, RIGHT = 2, BOTTOM_RIGHT = 3, BOTTOM = 4, BOTTOM_LEFT = 5, LEFT = 6, TOP_LEFT = 7 };

struct Size {
    int w = 0, h = 0;
};

// The frame pieces, with the size of each.
class Frame {
public:
    Frame() : sprite_(GameWorld::state().frame) {
        const int frames = framesInSprite();
        for (int f = 0; f < 8; ++f) {
            if (f >= frames) continue;
            world::FrameBoxes boxes(sprite_, f);
            if (boxes.count() > 0) {
                sizes_[f] = {boxes.at(0).width, boxes.at(0).height};
            } else {
                sizes_[f] = {sprite_.getExtentX(), sprite_.getExtentY()};
            }
            present_[f] = sizes_[f].w > 0 && sizes_[f].h > 0;
        }
    }
    Size size(int piece) const { return sizes_[piece]; }
    void draw(Graphics& g, int piece, int x, int y) {
        if (!present_[piece]) return;
        sprite_.setFrame(piece);
        sprite_.draw(g, x + sprite_.getRefX(), y + sprite_.getRefY());
    }
    // Pieces repeated from a to b (exclusive) along one axis.
    void repeat(Graphics& g, int piece, int fixed, int a, int b, bool horizontal) {
        const int step = horizontal ? sizes_[piece].w : sizes_[piece].h;
        if (!present_[piece] || step <= 0) return;
        for (int p = a; p < b; p += step) draw(g, piece, horizontal ? p : fixed, horizontal ? fixed : p);
    }

private:
    int framesInSprite() const {
        // The decoded animation holds its frame count after the four header values.
        const auto& a = sprite_.getCurrentAnimation();
        return a && a->size() > 4 ? (*a)[4] : 0;
    }
    SpriteSheet sprite_;
    std::array<Size, 8> sizes_{};
    std::array<bool, 8> present_{};
};

void narrowClip(Graphics& g, int x, int y, int w, int h) {
    const int left = std::max(x, g.getClipX()), top = std::max(y, g.getClipY());
    const int right = std::min(x + w, g.getClipX() + g.getClipWidth());
    const int bottom = std::min(y + h, g.getClipY() + g.getClipHeight());
    g.setClip(left, top, std::max(right - left, 0), std::max(bottom - top, 0));
}
}  // namespace

PanelWindow::Rect PanelWindow::windowRect(const TextPanel& p, int t) {
    const int inner = p.height() - p.originY();
    if (t <= kGrowMs) {
        const int w = static_cast<int>(std::int64_t{p.width()} * t / kGrowMs);
        const int h = static_cast<int>(std::int64_t{inner} * t / kGrowMs);
        return {kW / 2 - w / 2, kH / 2 - h / 2 + kGrowDrop, w, h};
    }
    return {p.originX(), p.originY() * 5 / 3, p.width(), inner};
}

PanelWindow::Rect PanelWindow::panelOffset(int gameState) {
    switch (gameState) {
    case 20: return {0, -15};
    case 21: return {25, 100};
    case 7: return {4, 100};
    case 9: return {10, 83};
    case 6: return {3, 110};
    default: return {25, 115};
    }
}

void PanelWindow::drawWindow(Graphics& g, const Rect& r, bool gradient) {
    if (r.w <= 0 || r.h <= 0) return;
    Frame frame;
    const Size top = frame.size(TOP), bottom = frame.size(BOTTOM), left = frame.size(LEFT), right = frame.size(RIGHT);
    const Size tl = frame.size(TOP_LEFT), tr = frame.size(TOP_RIGHT), bl = frame.size(BOTTOM_LEFT),
               br = frame.size(BOTTOM_RIGHT);
    // The inside, inset by the border.
    const int ix = r.x + left.w, iy = r.y + top.h, iw = r.w - left.w - right.w, ih = r.h - top.h - bottom.h;
    if (iw > 0 && ih > 0) {
        if (gradient && iw > 1) {
            TextPanel::gradient(g, ix, iy, iw, ih, kGradientTop, kInsideColour, kGradientStep);
        } else {
            g.setColor(kInsideColour);
            g.fillRect(ix, iy, iw, ih);
        }
    }
    // Pieces never reach outside the window, also while it is small.
    const int cx = g.getClipX(), cy = g.getClipY(), cw = g.getClipWidth(), ch = g.getClipHeight();
    narrowClip(g, r.x, r.y, r.w, r.h);
    frame.repeat(g, TOP, r.y, r.x + tl.w, r.x + r.w - tr.w, true);
    frame.repeat(g, BOTTOM, r.y + r.h - bottom.h, r.x + bl.w, r.x + r.w - br.w, true);
    frame.repeat(g, LEFT, r.x, r.y + tl.h, r.y + r.h - bl.h, false);
    frame.repeat(g, RIGHT, r.x + r.w - right.w, r.y + tr.h, r.y + r.h - br.h, false);
    frame.draw(g, TOP_LEFT, r.x, r.y);
    frame.draw(g, TOP_RIGHT, r.x + r.w - tr.w, r.y);
    frame.draw(g, BOTTOM_RIGHT, r.x + r.w - br.w, r.y + r.h - br.h);
    frame.draw(g, BOTTOM_LEFT, r.x, r.y + r.h - bl.h);
    g.setClip(cx, cy, cw, ch);
}

void PanelWindow::drawBandEdges(Graphics& g, int x, int y, int w, int h) {
    Frame frame;
    frame.repeat(g, TOP, y, x, x + w, true);
    frame.repeat(g, BOTTOM, y + h - frame.size(BOTTOM).h, x, x + w, true);
}

void PanelWindow::drawPanelWindow(Graphics& g, TextPanel& p, int t, bool gradient) {
    g.setClip(0, 0, kW, kH);
    drawWindow(g, windowRect(p, t), gradient);
    if (t > kGrowMs) {
        const Rect offset = panelOffset(Brindle::currentState());
        p.draw(g, p.originX() + offset.x, p.originY() + offset.y);
        g.setClip(0, 0, kW, kH);
    }
}

void PanelWindow::revealLoading(Graphics& g, int progress, int style) {
    g.setColor(kLoadingColour);
    if (style == 3) {
        int phase = 43;
        for (int x = 0; x < kW; x += 4, ++phase) {
            const int h = static_cast<int>(
                (std::int64_t{(world::FixedMath::sine(phase & 255) * 60 >> 10) + kH} * progress) >> 8);
            if (h < kH) g.fillRect(x, h, 4, kH - h);
        }
        return;
    }
    struct Wave {
        int start, amplitude, step;
    };
    Wave wave{0, 20, 3};
    switch (style) {
    case 1: wave = {0, 40, 2}; break;
    case 2: wave = {24, 10, 10}; break;
    case 4: wave = {18, 14, 2}; break;
    default: break;
    }
    int phase = wave.start;
    for (int y = 0; y < kH; y += 5, phase += wave.step) {
        const int w = static_cast<int>(
            (std::int64_t{(world::FixedMath::sine(phase & 255) * wave.amplitude >> 10) + kW} * progress) >> 8);
        if (kW - w > 0) g.fillRect(0, y, kW - w, 5);
    }
}

}  // namespace game
