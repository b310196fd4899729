// One launch of the crash stage, a step at a time: the run-up, the take-off
// on FIRE, flight under gravity and drag, contacts with tiles (bounces,
// slides, breaking), the aim power-up, and the end of the launch.
#include <algorithm>

#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/stage/CrashStage.h"
#include "game/world/FixedMath.h"
#include "game/world/TileCollision.h"

namespace game::stage {

using world::FixedMath;
using world::GameWorld;
using world::TileCollision;

namespace {

constexpr int W = MainCanvas::kScreenWidth, H = MainCanvas::kScreenHeight;
constexpr int kDustMs = 50, kSlideDustMs = 40;
// Above the map a launch may rise and come back; this far it will not.
constexpr int kFarAbove = 4 * H;

enum Animation : int { RUN = 0, TAKE_OFF = 1, FLIGHT = 2, FIRST_TUMBLE = 3, AIM_RELEASE = 5, SLIDE_RIGHT_FLAT = 6,
                       SLIDE_LEFT_FLAT = 7, SLIDE_RIGHT_SLOPE = 8, SLIDE_LEFT_SLOPE = 9 };

GameWorld::State& world() { return GameWorld::state(); }

// Pixels moved by a velocity in dt ms, in 16.16.
int moveOf(int velocity, int speedScale, int dt) {
    return FixedMath::mul(velocity, static_cast<int>((std::int64_t{speedScale} * dt) >> 16));
}

// An effect a pixel or two from the character.
void effectNear(int kind) {
    const auto& c = world().character.sprite;
    const int dx = GameWorld::nextRandom(4) - 2, dy = GameWorld::nextRandom(4) - 2;
    GameWorld::spawnEffect((c.x >> 16) + dx, (c.y >> 16) + dy, kind);
}

void effectAt(int kind) {
    const auto& c = world().character.sprite;
    GameWorld::spawnEffect(c.x >> 16, c.y >> 16, kind);
}

// A slide plays its animation through rather than restarting it each step.
void slideAnimation(int index) {
    if (world().character.sprite.getAnimationIndex() != index) GameWorld::setCharacterAnimation(index, 1);
}

}  // namespace

void CrashStage::launchStep(int dt, bool fire) {
    State& s = state();
    GameWorld::State& w = world();
    auto& c = w.character;
    s.launchClock = FixedMath::add(s.launchClock, dt);
    if (c.launchMode == STOPPED) return stoppedStep(dt);
    if (c.launchMode == AIMING) return aimStep(dt, fire);
    if (c.launchMode == AIRBORNE && c.sprite.getAnimationIndex() == TAKE_OFF && c.sprite.isDone())
        GameWorld::setCharacterAnimation(FLIGHT, 1000);

    // Trails.
    if (s.dustTimer > 0) s.dustTimer -= dt;
    if (c.trailTimer > 0) {
        c.trailTimer -= dt;
        if (s.dustTimer <= 0) {
            effectNear(14);
            s.dustTimer = kDustMs;
        }
    }

    // FIRE: take off from the run-up, or hang to aim in the air.
    if (fire) {
        bool aimed = false;
        if (c.launchMode == RUN_UP) {
            const int free = TileCollision::sweep(c.sprite.x - FixedMath::shl(c.boxWidth / 2, 16), c.sprite.y - FixedMath::shl(c.boxHeight / 2, 16),
                                                  c.boxWidth, c.boxHeight, 0, 0, TileCollision::PROBE);
            if (free == TileCollision::FREE) {
                c.launchMode = AIRBORNE;
                GameWorld::setCharacterAnimation(TAKE_OFF, 1);
                s.cameraEase = 1024;
                if (unlocked(kUnlockSmash) && s.smashTrail) SoundPlayer::playSound(kTakeOffSound);
            }
        } else if (hasAimCharge() && unlocked(kUnlockAim)) {
            w.launchAims[static_cast<std::size_t>(launchIndex())] -= 1;
            updatePowered();
            c.launchMode = AIMING;
            s.aimHintArmed = false;
            aimed = true;
        }
        popupDismissed();
        s.fireLatch = false;
        if (aimed) return;
    }

    c.velY = FixedMath::add(c.velY, FixedMath::mul(levelParam(4), dt));
    int dx = 0, dy = 0;
    if (c.launchMode == RUN_UP) {
        s.cameraOffsetX = W / 8;
        s.cameraOffsetY = H / 8;
        // Running off the map starts the run-up again without using the
        // launch; its minute keeps running, so a launch that never takes
        // off (nobody presses FIRE, or the start is walled in) still ends.
        const int px = c.sprite.x >> 16;
        if (px > w.mapCols * w.tileWidth || px < 0) {
            const int clock = s.launchClock;
            resetLaunch(false);
            s.launchClock = clock;
            return;
        }
        c.velY = 0;
        dx = moveOf(c.velX, w.speedScaleX, dt);
    } else {
        if (c.launchMode == AIRBORNE) {
            const int drag = static_cast<int>(std::int64_t{c.velX >> 1} * dt / std::max(levelParam(1), 1));
            c.velX = std::max(FixedMath::add(c.velX, -drag), 0);
            c.velY = FixedMath::add(c.velY, FixedMath::mul(levelParam(2), dt));
        } else {
            c.velY = FixedMath::add(c.velY, FixedMath::mul(levelParam(4), dt));
        }
        dx = moveOf(c.velX, w.speedScaleX, dt);
        dy = moveOf(c.velY, w.speedScaleY, dt);
        // The camera eases from the run-up's framing to the centre.
        s.cameraOffsetX = W / 2;
        s.cameraOffsetY = H / 2;
        if (s.cameraEase >= 0) {
            s.cameraOffsetX -= ((s.cameraOffsetX - W / 8) * s.cameraEase) >> 10;
            s.cameraOffsetY -= ((s.cameraOffsetY - H / 8) * s.cameraEase) >> 10;
            s.cameraEase -= dt;
        }
    }

    if (w.contactNormalX != 0 || w.contactNormalY != 0) s.contactCount += 1;
    w.contactNormalX = w.contactNormalY = 0;
    w.lastTile = -1;
    w.tileSmashed = false;

    int result = TileCollision::FREE;
    if (c.launchMode == RUN_UP) {
        w.allowedMoveX = dx;
        w.allowedMoveY = 0;
    } else {
        result = TileCollision::sweep(c.sprite.x - FixedMath::shl(c.boxWidth / 2, 16), c.sprite.y - FixedMath::shl(c.boxHeight / 2, 16),
                                      c.boxWidth, c.boxHeight, dx, dy, TileCollision::CRASH);
    }

    if (result != TileCollision::FREE) {
        c.superSmash = false;
        if (c.launchMode == AIRBORNE) {
            c.launchMode = BOUNCING;
            GameWorld::setCharacterAnimation(FIRST_TUMBLE, 1);
            effectAt(2);
        }
        TileCollision::bounce(c.velX, c.velY);
        if (w.friction < kSlideFriction || w.restitution > kSlideRestitution) {
            if (unlocked(kUnlockTrail)) c.trailTimer = kTrailMs;
            c.bounceCount += 1;
            GameWorld::tumbleCharacter();
            if (!w.tileSmashed) {
                w.tileSmashed = true;
                GameWorld::spawnImpactBurst(FixedMath::add(c.sprite.x, w.allowedMoveX) >> 16, FixedMath::add(c.sprite.y, w.allowedMoveY) >> 16);
            }
        } else {
            c.trailTimer = 0;
            const int nx = w.contactNormalX, ny = w.contactNormalY;
            if (c.velX < 0) {
                if (nx == -160 && ny == -200) slideAnimation(SLIDE_LEFT_SLOPE);
                else if (ny == -256) slideAnimation(SLIDE_LEFT_FLAT);
            } else if (c.velX > 0) {
                if (nx == 160 && ny == -200) slideAnimation(SLIDE_RIGHT_SLOPE);
                else if (ny == -256) slideAnimation(SLIDE_RIGHT_FLAT);
            }
            if (s.contactCount > kStuckContacts) s.stuck = true;
            const int speed = FixedMath::approxDistance(c.velY, c.velX);
            if (speed < kSlowSpeed) s.slowTimer -= dt;
            else if (speed < kRunawaySpeed) s.slowTimer = kSlowMs;
            else s.stuck = true;
            if (s.dustTimer <= 0) {
                effectNear(13);
                s.dustTimer = kSlideDustMs;
            }
        }
    }

    c.prevX = c.sprite.x;
    c.prevY = c.sprite.y;
    c.sprite.x = FixedMath::add(c.sprite.x, w.allowedMoveX);
    c.sprite.y = FixedMath::add(c.sprite.y, w.allowedMoveY);
    const int limit = std::abs(levelParam(23));
    c.velY = std::clamp(c.velY, -limit, limit);
    c.sprite.update(dt);
    c.powered.update(dt);

    if ((c.launchMode == RUN_UP || c.launchMode == AIRBORNE) && s.smashTrail && s.dustTimer <= 0) {
        effectNear(15);
        s.dustTimer = kDustMs;
    }

    const bool gone = (c.sprite.y >> 16) < -kFarAbove;
    if (c.bounceCount > maxBounces() || s.slowTimer < 0 || s.stuck || gone || s.launchClock >= kLaunchCapMs) endLaunch();
}

void CrashStage::endLaunch() {
    State& s = state();
    auto& c = world().character;
    s.stopTimer = 0;
    c.launchMode = STOPPED;
    effectAt(6);
    effectAt(3);
    if (s.stuck) effectAt(10);
}

// The launch has stopped: the camera goes back to the start, then the next
// launch begins (or the play ends).
void CrashStage::stoppedStep(int dt) {
    State& s = state();
    const GameWorld::State& w = world();
    s.stopTimer = FixedMath::add(s.stopTimer, dt);
    if (s.stopTimer > kStopResetAfterMs && w.cameraMode == GameWorld::FOLLOW) {
        resetLaunch(true);
        return;
    }
    if (s.stopTimer > kStopPanAfterMs && w.cameraMode != GameWorld::PAN && !checkCleared()) panToStart(kPanBackMs);
}

// The character hangs while the aim turns; FIRE sends it along the aim.
void CrashStage::aimStep(int dt, bool fire) {
    State& s = state();
    GameWorld::State& w = world();
    auto& c = w.character;
    constexpr int kTurn = 256 << 16;
    s.aimAngle = FixedMath::add(s.aimAngle, FixedMath::shl(dt, 16) >> kAimTurnShift);
    if (s.aimAngle > kTurn) s.aimAngle -= kTurn;
    if (fire) {
        const std::int64_t speed = std::max(FixedMath::approxDistance(c.velY, c.velX), kMinAimSpeed);
        const int angle = s.aimAngle >> 16;
        c.velX = FixedMath::wrap((((FixedMath::sine(angle) << 8) >> 10) * speed) >> 8);
        c.velY = FixedMath::wrap((((FixedMath::cosine(angle) << 8) >> 10) * speed) >> 8);
        GameWorld::setCharacterAnimation(AIM_RELEASE, -1);
        c.launchMode = BOUNCING;
        c.superSmash = false;
        s.fireLatch = false;
        SoundPlayer::playSound(kAimSound);
    }
    if (s.launchClock >= kLaunchCapMs) endLaunch();
}

}  // namespace game::stage
