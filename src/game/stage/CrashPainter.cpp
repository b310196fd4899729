#include "game/stage/CrashPainter.h"

#include <algorithm>
#include <cstdlib>

#include "game/MainCanvas.h"
#include "game/stage/CrashPanels.h"
#include "game/stage/CrashStage.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/ScreenEffects.h"
#include "game/ui/TextPanel.h"
#include "game/world/FixedMath.h"
#include "game/world/GameWorld.h"
#include "game/world/WorldPainter.h"
#include "javax/microedition/lcdui/Graphics.h"

namespace game::stage {

using world::GameWorld;
using world::WorldPainter;
using javax::microedition::lcdui::Graphics;

namespace {

constexpr int W = MainCanvas::kScreenWidth, H = MainCanvas::kScreenHeight;
constexpr int kSeparatorFrame = 11;
constexpr int kHudRight = W - 24, kHudY = 35;
constexpr int kBarX = W - 34, kBarY = 60, kBarW = 18, kBarH = 220;
// The results screen: paper shading to a warm orange, the picture and the
// stars above the panel.
constexpr int kResultsTop = 0xFFF5DC, kResultsBottom = 0xFFC878;
constexpr int kPictureY = 110, kStarsY = 224;

using State = CrashStage::State;

// A sprite showing frame f, when it has one.
void drawFrame(Graphics& g, SpriteSheet& s, int f, int x, int y) {
    const auto& a = s.getCurrentAnimation();
    if (!a || f < 0 || f >= (*a)[4]) return;
    s.setFrame(f);
    s.draw(g, x, y);
}

// n with sprite `digits` (frame = digit), its right edge at x; returns the
// left edge.
int drawNumberLeftOf(Graphics& g, SpriteSheet& digits, int n, int x, int y) {
    const int w = std::max(digits.getExtentX(), 1);
    const std::string text = std::to_string(std::max(n, 0));
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        x -= w;
        drawFrame(g, digits, *it - '0', x + digits.getRefX(), y);
    }
    return x;
}

}  // namespace

int CrashPainter::bandHeight(int t) {
    const int e = CrashStage::state().resultsCharacter.getExtentY();
    return static_cast<int>((std::int64_t{e + H} * t) >> 11) - e;
}

int CrashPainter::aimFrame(int aimAngle) {
    const int degrees = (((aimAngle >> 16) * 360) >> 8) + 90;
    return std::clamp((360 - std::abs(degrees % 360)) / 11, 0, 31);
}

void CrashPainter::drawCharacter(Graphics& g) {
    State& s = CrashStage::state();
    GameWorld::State& w = GameWorld::state();
    auto& c = w.character;
    const int x = (c.sprite.x >> 16) - w.cameraX, y = (c.sprite.y >> 16) - w.cameraY;
    if (c.launchMode == CrashStage::AIMING) {
        drawFrame(g, s.aimPointer, aimFrame(s.aimAngle), x, y);
        s.aimRing.draw(g, x, y);
        return;
    }
    if (c.launchMode == CrashStage::STOPPED) return;
    const bool powered = CrashStage::hasAimCharge() && c.powered.getCurrentAnimation();
    (powered ? c.powered : c.sprite).draw(g, x, y);
}

void CrashPainter::drawWorldLayers(Graphics& g, bool character, bool overlay) {
    WorldPainter::drawWorld(g);
    WorldPainter::drawObjects(g);
    if (character) drawCharacter(g);
    WorldPainter::drawEffects(g);
    if (overlay) WorldPainter::drawFrontOverlay(g);
}

void CrashPainter::drawHud(Graphics& g) {
    State& s = CrashStage::state();
    GameWorld::State& w = GameWorld::state();
    g.setClip(0, 0, W, H);
    // Launches left, on the counter's badge.
    s.launchIcon.draw(g, kLaunchCounterX, kLaunchCounterY);
    const int left = std::max(s.launchesLeft, 0);
    if (left >= 10) {
        const int half = s.launchDigits.getExtentX() / 2;
        drawFrame(g, s.launchDigits, left / 10 % 10, kLaunchCounterX - half, kLaunchCounterY);
        drawFrame(g, s.launchDigits, left % 10, kLaunchCounterX + half, kLaunchCounterY);
    } else {
        drawFrame(g, s.launchDigits, left, kLaunchCounterX, kLaunchCounterY);
    }
    if (w.finale.present) {
        // How far the roaming target has been driven along its stops.
        const auto& f = w.finale;
        const int taken = f.hitsAtStart > 0 ? std::clamp(f.hitsAtStart - std::max(f.hitsLeft, 0), 0, f.hitsAtStart) : 0;
        const int fill = f.hitsAtStart > 0 ? (kBarH - 4) * taken / f.hitsAtStart : 0;
        g.setColor(kBarFrame);
        g.fillRect(kBarX, kBarY, kBarW, kBarH);
        g.setColor(kBarFill);
        g.fillRect(kBarX + 2, kBarY + 2 + (kBarH - 4 - fill), kBarW - 4, fill);
        return;
    }
    // Destroyed / goal, with the target icon and the score popup.
    int x = drawNumberLeftOf(g, s.goalDigits, s.goalCount, kHudRight, kHudY);
    const int sep = std::max(s.separator.getExtentX(), 1);
    drawFrame(g, s.separator, kSeparatorFrame, x - sep + s.separator.getRefX(), kHudY);
    x = drawNumberLeftOf(g, s.goalDigits, GameWorld::destroyedTargets(), x - sep, kHudY);
    const int icon = s.targetIcon.getExtentX();
    s.targetIcon.draw(g, x - icon + s.targetIcon.getRefX() - 6, kHudY);
    if (!w.scorePopup.isDone()) w.scorePopup.draw(g, x - icon / 2 - 6, kHudY - s.targetIcon.getExtentY());
}

void CrashPainter::drawBand(Graphics& g, int bottom) {
    State& s = CrashStage::state();
    g.setClip(0, 0, W, H);
    if (bottom > 0) {
        g.setColor(kBandColour);
        g.fillRect(0, 0, W, std::min(bottom, H));
    }
    s.resultsCharacter.draw(g, W / 2, bottom);
}

void CrashPainter::drawResults(Graphics& g) {
    State& s = CrashStage::state();
    g.setClip(0, 0, W, H);
    TextPanel::gradient(g, 0, 0, W, H, kResultsTop, kResultsBottom, 10);
    s.resultsPicture.draw(g, W / 2, kPictureY + s.resultsScroll);
    s.gradeStars.draw(g, W / 2, kStarsY);
    CrashPanels::drawPanel(g, s.resultsTimer);
    if (s.resultsTimer < CrashStage::kWipeMs) drawBand(g, bandHeight(CrashStage::kWipeMs - s.resultsTimer));
}

void CrashPainter::paint(Graphics& g) {
    State& s = CrashStage::state();
    if (!s.redraw && !ScreenEffects::shaking()) return;
    s.redraw = false;
    g.setClip(0, 0, W, H);
    switch (s.phase) {
        case CrashStage::INTRO:
            drawWorldLayers(g, false, true);
            drawHud(g);
            if (s.introTimer < CrashStage::kIntroMs) PanelWindow::revealLoading(g, s.introTimer * 256 / CrashStage::kIntroMs, 3);
            break;
        case CrashStage::PLAY:
        case CrashStage::FINALE:
        case CrashStage::TALLY:
            drawWorldLayers(g, true, true);
            drawHud(g);
            if (s.phase == CrashStage::PLAY) CrashPanels::drawPopup(g);
            break;
        case CrashStage::RESULTS: drawResults(g); break;
        case CrashStage::FAILED:
            drawWorldLayers(g, true, true);
            CrashPanels::drawPanel(g, s.failTimer);
            break;
        case CrashStage::WIPE:
            drawWorldLayers(g, true, false);
            drawBand(g, bandHeight(s.wipeTimer));
            break;
        default: break;
    }
}

}  // namespace game::stage
