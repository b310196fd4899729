#include "game/stage/SwingPainter.h"

#include <algorithm>
#include <cstdlib>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/stage/SwingStage.h"
#include "game/ui/BitmapFont.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/Popup.h"
#include "game/world/FixedMath.h"
#include "game/world/GameWorld.h"
#include "game/world/WorldPainter.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game::stage {

namespace {

using javax::microedition::lcdui::Graphics;
using world::FixedMath;
using world::GameWorld;
using world::WorldPainter;

constexpr int W = MainCanvas::kScreenWidth, H = MainCanvas::kScreenHeight;
// Walking figures of the queue: one queue place per this share of a cell.
constexpr int kSpacingNum = 30, kSpacingDen = 20;
constexpr int kWalkFrameMs = 126, kClimbFrameMs = 234, kWalkBackFrameMs = 100;
constexpr int kHangingOffset = 8;  // queue further left while a rope hangs
constexpr int kSeparatorFrame = 11;
constexpr int kGoalRight = W - 25, kGoalTop = 35;

using State = SwingStage::State;

State& stage() { return SwingStage::state(); }
GameWorld::State& world() { return GameWorld::state(); }
const GameWorld::SwingSetup& setup() { return GameWorld::state().swing; }
int px(int fixed) { return fixed >> 16; }
int camX() { return world().cameraX; }
int camY() { return world().cameraY; }

void drawFrame(Graphics& g, SpriteSheet& s, int frame, int x, int y) {
    SwingStage::showFrame(s, frame);
    s.draw(g, x, y);
}

SpriteSheet& slot(int i) { return stage().sprites[static_cast<std::size_t>(i)]; }

// The character sprite posed as a figure of the queue (it is not in play).
void drawFigure(Graphics& g, int animation, int frame, int x, int y) {
    SpriteSheet figure = world().character.sprite;
    if (animation >= figure.getAnimationCount()) return;
    figure.setAnimation(animation, 1, false);
    drawFrame(g, figure, frame, x, y);
}

// Decimal digits of n with the digit sprite, the last one ending at right.
int drawDigitsRightAligned(Graphics& g, SpriteSheet& digits, int n, int right, int y) {
    const int w = std::max(1, digits.getExtentX());
    const std::string text = std::to_string(std::max(0, n));
    int x = right - w * static_cast<int>(text.size());
    const int left = x;
    for (char c : text) {
        drawFrame(g, digits, c - '0', x + w / 2, y);
        x += w;
    }
    return left;
}

void drawRope(Graphics& g) {
    const State& s = stage();
    const auto& b = setup();
    auto& c = world().catmull;
    const int dropX = b.dropX - camX(), holdX = s.holdX - camX();
    const int waveAngle = (s.swingClock >> 1) & 255;
    const int fade = 700 - s.respawnDelay;
    if (b.dropMode == SwingStage::PENDULUM) {
        c = {holdX, dropX, holdX, holdX};
        if (!s.batted) {
            c[0] = (dropX + holdX) / 2;
            c[3] = holdX - static_cast<int>(((std::int64_t{FixedMath::cosine(waveAngle)} * 50 >> 10) + 25) * fade / 700);
        }
    } else {
        const int m = s.batted ? 1 : 3;
        c = {dropX, dropX, dropX, dropX};
        c[3] = dropX - static_cast<int>(((std::int64_t{m} * FixedMath::cosine(waveAngle) * 13 >> 10) + 7) * fade / 700);
    }
    const int segments = b.dropMode == SwingStage::PENDULUM && !s.batted ? 18 : 15;
    const std::int64_t step = (std::int64_t{b.dropY} - s.holdY) * 256 / 15;
    const std::int64_t top = std::int64_t{b.dropY - camY()} * 256;
    SpriteSheet& segment = slot(SwingStage::ROPE_SEGMENT);
    for (int i = 0; i < segments; ++i) {
        const int along = s.batted ? i : std::min(i, 15);
        segment.draw(g, GameWorld::catmullRom(256 * along), FixedMath::wrap((top - (i + 1) * step) >> 8));
    }
}

void drawQueue(Graphics& g) {
    State& s = stage();
    const auto& b = setup();
    const int spacing = std::max(1, world().tileWidth * kSpacingNum / kSpacingDen);
    const int n = std::max(0, std::min(s.shotsLeft, (b.dropX - camX()) / spacing + 2));
    const int shift = s.walkTimer >= 0 ? s.walkTimer * spacing / SwingStage::kWalkMs : 0;
    const bool hanging = b.dropMode == SwingStage::PENDULUM || b.dropMode == SwingStage::ROPE;
    int first = 0;
    if (hanging && s.respawnDelay >= 0) {
        // The next character climbs to the hanging point.
        const int toX = b.dropMode == SwingStage::PENDULUM ? s.holdX : b.dropX;
        const int fromY = b.dropY - 22, done = SwingStage::kRespawnMs - s.respawnDelay;
        const int x = b.dropX + (toX - b.dropX) * done / SwingStage::kRespawnMs;
        const int y = fromY + (s.holdY - fromY) * done / SwingStage::kRespawnMs;
        drawFigure(g, SwingStage::CLIMBING, 2 - s.respawnDelay / kClimbFrameMs, x - camX(), y - camY());
        first = 1;
    }
    const int y = b.dropY - camY();
    SpriteSheet& idle = slot(SwingStage::idleSlot());
    for (int i = first; i < n; ++i) {
        const int x = b.dropX - i * spacing - shift - camX() - (hanging ? kHangingOffset : 0);
        if (s.walkTimer >= 0) drawFrame(g, slot(SwingStage::STEPPING), s.walkTimer / kWalkFrameMs, x, y);
        else if ((i + s.shotsLeft) % 3 == 0 && s.idleClock > SwingStage::kIdleAfterMs) idle.draw(g, x, y);
        else slot(SwingStage::WAITING).draw(g, x, y);
    }
    // A character that was missed walks back to the end of the queue.
    if (!s.lastDropConsumed && s.respawnDelay >= 0) {
        const int q = b.dropX - spacing * n - shift, edge = camX() - spacing;
        if (q > edge) {
            const int x = q - static_cast<int>(std::int64_t{q - edge} * s.respawnDelay / SwingStage::kRespawnMs);
            drawFigure(g, SwingStage::WALKING_BACK, (SwingStage::kRespawnMs - s.respawnDelay) / kWalkBackFrameMs, x - camX(), y - 8);
        }
    }
}

void drawLabel(Graphics& g, SpriteSheet& picture, const std::string& text) {
    const State& s = stage();
    const auto& b = setup();
    const int x = px(b.batPivotX) - camX(), y = px(b.batPivotY) - camY();
    if (!s.textLabels) {
        if (picture.getCurrentAnimation() && picture.getLoopsLeft() != 0) picture.draw(g, x, y);
        return;
    }
    if (const auto& font = Brindle::shared().fonts[0]) font->drawString(g, text, x, y - world().tileHeight, Graphics::BASELINE | Graphics::HCENTER);
}

// The rail, marks, scene and shot counter: what phase 4 freezes.
void drawStagePicture(Graphics& g) {
    SwingPainter::drawRail(g);
    SwingPainter::drawMarks(g);
    if (world().bonusLevel) WorldPainter::drawObjects(g);
    SwingPainter::drawScene(g);
    SwingPainter::drawShotCounter(g);
}

void drawStageLayers(Graphics& g) {
    drawStagePicture(g);
    WorldPainter::drawEffects(g);
    if (world().bonusLevel) SwingPainter::drawGoalCounter(g);
}

}  // namespace

int SwingPainter::batHeadFrame(int batAngle) {
    const int degrees = (((batAngle >> 16) * 360) >> 8) - 270;
    return std::clamp(std::abs(degrees % 360) / 12 + 2, 0, 31);
}

void SwingPainter::drawWorldPicture(Graphics& g) {
    auto& w = world();
    auto& picture = GameWorld::offscreen();
    if (w.cameraMoved) {
        WorldPainter::drawWorld(*picture.getGraphics());
        w.cameraMoved = false;
    }
    g.setClip(0, 0, W, H);
    g.drawImage(w.screenBuffer, 0, 0, Graphics::TOP | Graphics::LEFT);
}

void SwingPainter::drawRail(Graphics& g) {
    State& s = stage();
    const auto& b = setup();
    if (b.dropMode == SwingStage::TRAMPOLINE) return;
    const int w = s.rail.getExtentX();
    const int x0 = b.dropX - camX() - w, y = b.dropY - camY();
    // A rail piece without width cannot be repeated.
    if (w > 0)
        for (int i = 0, n = x0 / w + 2; i < n; ++i) drawFrame(g, s.rail, 1, x0 - i * w, y);
    drawFrame(g, s.rail, 0, b.dropX - camX(), y);
}

void SwingPainter::drawMarks(Graphics& g) {
    for (const SwingStage::Decal& d : stage().decals) {
        if (d.picture <= 0) continue;
        const int p = d.picture - 1;
        drawFrame(g, slot(SwingStage::MARKS_A + std::min(p / 8, 1)), p % 8, px(d.x) - camX(), px(d.y) - camY());
    }
}

void SwingPainter::drawScene(Graphics& g) {
    State& s = stage();
    auto& w = world();
    const auto& b = setup();
    const int pivotX = px(b.batPivotX) - camX(), pivotY = px(b.batPivotY) - camY();
    (slot(SwingStage::BASE_SWING).isDone() ? slot(SwingStage::BASE_REST) : slot(SwingStage::BASE_SWING)).draw(g, pivotX, pivotY);
    if (b.dropMode == SwingStage::PENDULUM || b.dropMode == SwingStage::ROPE) drawRope(g);
    drawQueue(g);
    if (b.dropMode == SwingStage::TRAMPOLINE) s.trampoline.draw(g, b.dropX - camX(), b.dropY - camY());
    if (!w.bonusLevel) {
        if (w.unlocks & SwingStage::kUnlockSmashTarget) slot(SwingStage::SMASH_TARGET).draw(g, b.smashTargetX - camX(), b.smashTargetY - camY());
        if (w.unlocks & SwingStage::kUnlockAimTarget) s.aimTarget.draw(g, b.aimTargetX - camX(), b.aimTargetY - camY());
    }
    if (!s.hidden) w.character.sprite.draw(g, px(w.character.sprite.x) - camX(), px(w.character.sprite.y) - camY());
    const int tipX = s.batTipX - camX(), tipY = s.batTipY - camY();
    g.setColor(kArmColour);
    g.drawLine(pivotX, pivotY, tipX, tipY);
    g.setColor(kArmShade);
    g.drawLine(pivotX - 1, pivotY, tipX - 1, tipY);
    g.drawLine(pivotX, pivotY - 1, tipX, tipY - 1);
    g.setColor(kArmLight);
    g.drawLine(pivotX, pivotY - 2, tipX, tipY - 2);
    slot(SwingStage::HUB).draw(g, pivotX, pivotY);
    drawFrame(g, slot(SwingStage::BAT_HEAD), batHeadFrame(s.batAngle), tipX, tipY);
    if (!w.bonusLevel && (s.respawnDelay > 0 || s.swingPhase == SwingStage::END_WAIT) && s.dropRating != SwingStage::NO_RATING) {
        const int r = std::clamp(s.dropRating, 1, 3) - 1;
        drawLabel(g, slot(SwingStage::LABEL_1 + r), s.labelTexts[static_cast<std::size_t>(r)]);
    }
}

void SwingPainter::drawShotCounter(Graphics& g) {
    State& s = stage();
    const auto& b = setup();
    const int tw = world().tileWidth;
    int ax = b.dropX - camX(), ay = b.dropY - camY();
    switch (b.dropMode) {
        case SwingStage::FALL: ax -= tw, ay += 4; break;
        case SwingStage::TRAMPOLINE: ax -= 315, ay -= 141; break;
        default: ax -= 2 * tw, ay += 4; break;
    }
    slot(SwingStage::SHOT_ICON).draw(g, ax, ay);
    SpriteSheet& digits = slot(SwingStage::SHOT_DIGITS);
    const int shots = std::clamp(s.shotsLeft, 0, 99);
    if (shots >= 10) {
        const int half = digits.getExtentX() / 2;
        drawFrame(g, digits, shots / 10, ax - half, ay);
        drawFrame(g, digits, shots % 10, ax + half, ay);
    } else {
        drawFrame(g, digits, shots, ax, ay);
    }
}

void SwingPainter::drawGoalCounter(Graphics& g) {
    State& s = stage();
    const int left = drawDigitsRightAligned(g, s.goalDigits, s.bonusGoal, kGoalRight, kGoalTop);
    const int sw = std::max(1, s.goalSeparator.getExtentX());
    drawFrame(g, s.goalSeparator, kSeparatorFrame, left - sw / 2, kGoalTop);
    drawDigitsRightAligned(g, s.goalDigits, GameWorld::destroyedBonus(), left - sw, kGoalTop);
}

void SwingPainter::drawWipe(Graphics& g) {
    State& s = stage();
    g.setClip(0, 0, W, H);
    if (s.phaseTimer < kWipeGrowMs) {
        const int e = s.wipe.getExtentY();
        const int h = static_cast<int>(((std::int64_t{e} + H) * s.phaseTimer >> 11) - e);
        if (h > 0) {
            g.setColor(kWipeColour);
            g.fillRect(0, 0, W, h);
        }
        s.wipe.draw(g, W / 2, h);
        return;
    }
    const int t = s.phaseTimer - kWipeGrowMs;
    g.setColor(std::min(255, t * 8 / 452 + 247), std::min(255, t * 39 / 452 + 147), std::min(255, t * 86 / 452));
    g.fillRect(0, 0, W, H);
}

void SwingPainter::paint(Graphics& g) {
    State& s = stage();
    auto& w = world();
    switch (s.swingPhase) {
        case SwingStage::INTRO:
        case SwingStage::PLAY:
            drawWorldPicture(g);
            drawStageLayers(g);
            Popup::draw(g);
            if (s.swingPhase == SwingStage::INTRO)
                PanelWindow::revealLoading(g, std::min(s.introTimer, SwingStage::kIntroMs) * 256 / SwingStage::kIntroMs, 1);
            break;
        case SwingStage::FAILED:
            drawWorldPicture(g);
            drawStageLayers(g);
            PanelWindow::drawPanelWindow(g, s.failPanel, s.phaseTimer, true);
            break;
        case SwingStage::END_WAIT:
            drawWorldPicture(g);
            drawStageLayers(g);
            drawWipe(g);
            break;
        case SwingStage::BONUS_PENDING: {
            // The picture the results stand on: world and stage, frozen.
            auto& picture = GameWorld::offscreen();
            auto& pg = *picture.getGraphics();
            if (w.cameraMoved) {
                WorldPainter::drawWorld(pg);
                w.cameraMoved = false;
            }
            drawStagePicture(pg);
            g.setClip(0, 0, W, H);
            g.drawImage(w.screenBuffer, 0, 0, Graphics::TOP | Graphics::LEFT);
            break;
        }
        case SwingStage::BONUS_RESULTS:
            g.setClip(0, 0, W, H);
            g.drawImage(w.screenBuffer, 0, 0, Graphics::TOP | Graphics::LEFT);
            PanelWindow::drawPanelWindow(g, w.resultsPanel, w.panelTimer, false);
            Popup::draw(g);
            break;
        default: break;
    }
}

}  // namespace game::stage
