#include "game/stage/SwingStage.h"

#include <algorithm>
#include <cstdlib>

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/stage/SwingPainter.h"
#include "game/ui/Popup.h"
#include "game/ui/ScreenEffects.h"
#include "game/world/FixedMath.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "game/world/TileCollision.h"
#include "game/world/TileRules.h"
#include "platform/Console.h"

namespace game::stage {

namespace {

using world::FixedMath;
using world::GameWorld;
using world::LevelLoader;
using world::TileCollision;

constexpr int W = MainCanvas::kScreenWidth, H = MainCanvas::kScreenHeight;

// The character's seven animations, by CharacterAnimation.
constexpr std::array<std::int32_t, 7> kCharacterAnimations = {0x30026, 0x30076, 0x3002D, 0x3000B, 0x300CB, 0x3004E, 0x50054};
struct SlotSprite {
    int slot;
    std::int32_t id;
    bool loops;
};
// Made at setup step 3, then step 4.
constexpr std::array<SlotSprite, 9> kSpritesFirst = {{{SwingStage::HUB, 0x30022, false}, {SwingStage::MARKS_A, 0x4000A, false},
                                                      {SwingStage::MARKS_B, 0x3001D, false}, {SwingStage::WAITING, 0x300C1, false},
                                                      {SwingStage::BASE_REST, 0x50024, true}, {SwingStage::BASE_SWING, 0x5002E, false},
                                                      {SwingStage::LABEL_1, 0x300AA, false}, {SwingStage::LABEL_2, 0x30092, false},
                                                      {SwingStage::LABEL_3, 0x300C3, false}}};
constexpr std::array<SlotSprite, 11> kSpritesSecond = {{{SwingStage::IDLE_3, 0x5004D, false}, {SwingStage::IDLE_4, 0x40013, false},
                                                        {SwingStage::IDLE_0, 0x5004A, false}, {SwingStage::IDLE_1, 0x5004C, false},
                                                        {SwingStage::IDLE_2, 0x5004B, false}, {SwingStage::ROPE_SEGMENT, 0x40001, false},
                                                        {SwingStage::SHOT_ICON, 0x30043, false}, {SwingStage::SHOT_DIGITS, 0x3006B, false},
                                                        {SwingStage::SMASH_TARGET, 0x50018, true}, {SwingStage::STEPPING, 0x30061, true},
                                                        {SwingStage::BAT_HEAD, 0x40035, false}}};
constexpr std::int32_t kTrampoline = 0x5004E, kRail = 0x400A0, kAimTarget = 0x500FD, kWipe = 0x5005F;
constexpr std::int32_t kLaunchCounter = 0x4006D, kSeparator = 0x40028, kGoalDigits = 0x4005A;
constexpr std::int32_t kHitSoundA = 0x30004, kHitSoundB = 0x30005;
constexpr int kSwingTheme = 3;
constexpr int kIdleSlots[5] = {SwingStage::IDLE_0, SwingStage::IDLE_1, SwingStage::IDLE_2, SwingStage::IDLE_3, SwingStage::IDLE_4};
// Effects: the strike, target touches, the spark trail, a splat on a
// breakable cell.
constexpr int kStrikeEffect = 9, kTargetEffect = 16, kSparkEffect = 15, kCrumbEffect = 6, kPuffEffect = 3;
// Hints: progress flag and text.
struct Hint {
    int flag, unlock, text;
};
constexpr std::array<Hint, 4> kHints = {{{1, 0, 87}, {13, SwingStage::kUnlockNine, 92}, {14, SwingStage::kUnlockThreeMore, 93},
                                         {15, SwingStage::kUnlockSmashTarget, 94}}};
constexpr Hint kBonusHint = {28, 0, 102};
// Splat-mark frames by contact normal; frames 2 and 6 are on walls and slide.
constexpr std::array<std::array<int, 2>, 8> kMarkNormals = {{{0, 256}, {-160, 200}, {-256, 0}, {-160, -200}, {0, -256}, {160, -200}, {256, 0}, {160, 200}}};

GameWorld::State& world() { return GameWorld::state(); }
GameWorld::SwingSetup& setup() { return GameWorld::state().swing; }
SpriteSheet& character() { return GameWorld::state().character.sprite; }
int px(int fixed) { return fixed >> 16; }

std::int64_t square(std::int64_t v) { return v * v; }

void showHint(int text) {
    if (!Popup::state().created) return;
    Popup::show(MainCanvas::text(text).value_or(""));
    Popup::open();
}

}  // namespace

SwingStage::State& SwingStage::state() {
    static State s;
    return s;
}

void SwingStage::resetClassState() { state() = State{}; }

bool SwingStage::bonusLevel() { return world().bonusLevel; }
int SwingStage::unlocks() { return world().unlocks; }
bool SwingStage::batAtRest() { return state().batAngle == FixedMath::shl(setup().batRestAngle, 16); }

int SwingStage::queueSize(int unlocks) {
    return ((unlocks & kUnlockNine) ? 9 : 7) + ((unlocks & kUnlockThreeMore) ? 3 : 0);
}

int SwingStage::idleSlot() { return kIdleSlots[std::clamp(state().idleIndex, 0, 4)]; }

void SwingStage::showFrame(SpriteSheet& s, int f) {
    const auto& a = s.getCurrentAnimation();
    if (!a) return;
    const int frames = (*a)[4];
    if (frames > 0) s.setFrame(std::clamp(f, 0, frames - 1));
}

void SwingStage::request(Request r) {
    State& s = state();
    if (s.leaving) return;
    s.leaving = r != PAUSE_MENU;
    s.request = r;
}

SwingStage::Request SwingStage::takeRequest() {
    const Request r = state().request;
    state().request = NO_REQUEST;
    return r;
}

std::string SwingStage::bankedLaunches() {
    const auto& w = world();
    std::string smash, aims;
    for (int i = 0; i < w.launchesBanked; ++i) {
        const auto at = static_cast<std::size_t>(i);
        smash += at < w.launchSmash.size() && w.launchSmash[at] ? '1' : '0';
        aims += std::to_string(at < w.launchAims.size() ? w.launchAims[at] : 0);
    }
    return std::to_string(w.launchesBanked) + " launches (smash " + smash + ", aims " + aims + ")";
}

int SwingStage::bonusStars() { return FixedMath::gradeOf(GameWorld::destroyedBonus(), world().targetCount, GameWorld::placedBonus()); }
int SwingStage::bonusScore() { return 5 * GameWorld::destroyedBonus(); }

// ---- setup ----

bool SwingStage::setupStep(int step) {
    State& s = state();
    auto& w = world();
    const auto& progress = Brindle::shared().progress;
    switch (step) {
        case 0:
            s = State{};
            if (!w.bonusLevel) w.cameraMoved = true;
            GameWorld::resetStats();
            setup().batPower = 200;
            w.levelNumber = std::clamp(progress.selectedLevel, 1, format::Progress::kLevels);
            w.unlocks = progress.unlockMask;
            w.crashStage = false;
            w.chaseInFlight = false;
            w.levelClock = 0;
            break;
        case 1:
            try {
                if (w.levelParams.empty()) LevelLoader::loadLevel(LevelLoader::kHeaderMap, true, LevelLoader::NO_PAD);
                LevelLoader::loadLevel(w.levelTable[static_cast<std::size_t>(w.levelNumber)][0], false, LevelLoader::PAD_BELOW);
            } catch (const std::exception& e) {
                // Nothing of this level can be played: back to the levels.
                platform::Console::println("level " + std::to_string(w.levelNumber) + " does not load: " + e.what());
                request(TO_LEVEL_SELECT);
                return true;
            }
            break;
        case 2: {
            GameWorld::initWorld();
            s.facingLeft = true;
            auto& c = w.character;
            c = GameWorld::Character{};
            std::vector<SpriteSheet::Animation> animations;
            for (std::int32_t id : kCharacterAnimations) animations.push_back(GameWorld::animationOrNone(id));
            c.sprite.init(std::move(animations), false);
            break;
        }
        case 3:
            for (auto& sprite : s.sprites) sprite.release();
            for (const SlotSprite& p : kSpritesFirst) s.sprites[static_cast<std::size_t>(p.slot)] = GameWorld::makeSprite(p.id, p.loops);
            s.trampoline = GameWorld::makeSprite(kTrampoline, false);
            w.floatingDigits = GameWorld::makeSprite(GameWorld::kFloatingDigits, false);
            s.rail = GameWorld::makeSprite(kRail, false);
            break;
        case 4:
            for (const SlotSprite& p : kSpritesSecond) s.sprites[static_cast<std::size_t>(p.slot)] = GameWorld::makeSprite(p.id, p.loops);
            s.aimTarget = GameWorld::makeSprite(kAimTarget, true);
            break;
        case 5: startSwing(); break;
        case 6: GameWorld::setTheme(kSwingTheme); break;
        case 7: GameWorld::loadTileImage(); break;
        case 8:
            // The score popup starts finished.
            w.scorePopup = GameWorld::makeSprite(GameWorld::kScorePopup, false);
            w.scorePopup.setFrameTime(10000);
            w.scorePopup.update(1);
            s.launchCounter = GameWorld::makeSprite(kLaunchCounter, false);
            s.goalSeparator = GameWorld::makeSprite(kSeparator, false);
            s.goalDigits = GameWorld::makeSprite(kGoalDigits, false);
            if (w.bonusLevel) {
                s.resultText = MainCanvas::text(kBonusResultText).value_or("");
                s.perfectText = MainCanvas::text(kBonusPerfectText).value_or("");
                s.finishedBefore = progress.levelGrade[static_cast<std::size_t>(w.levelNumber)] >= 2;
            }
            break;
        case 9:
            s.wipe = GameWorld::makeSprite(kWipe, true);
            s.batted = s.hidden = true;
            s.firstBounceUsed = false;
            GameWorld::updateCamera(0, px(character().x) - W / 2, px(character().y) - H / 2);
            break;
        case 10:
            w.resultsTimer = 0;
            s.bonusGoal = progress.levelGrade[static_cast<std::size_t>(w.levelNumber)] > 1 ? GameWorld::placedBonus() : w.targetCount;
            break;
        case 11: {
            const auto& languages = MainCanvas::state().languageList;
            const std::string code = languages.empty() ? std::string("en") : languages.front();
            s.textLabels = code != "en" && code != "us" && code != "xx";
            if (s.textLabels)
                for (std::size_t i = 0; i < s.labelTexts.size(); ++i) s.labelTexts[i] = MainCanvas::text(kLabelTexts[i]).value_or("");
            w.cameraMoved = true;
            break;
        }
        default: break;
    }
    return step >= kLastSetupStep;
}

void SwingStage::startSwing() {
    State& s = state();
    auto& w = world();
    s.decals.fill(Decal{});
    s.phaseTimer = 0;
    s.swingClock = 256;
    // A bonus level is played for its bonus objects: they stay.
    for (auto& o : w.objects)
        if (o && !(w.bonusLevel && o->kind == GameWorld::BONUS)) o.reset();
    GameWorld::clearEffects();
    GameWorld::stopCamera();
    auto& flags = Brindle::shared().progress.progressFlags;
    auto hint = [&](const Hint& h) {
        flags[static_cast<std::size_t>(h.flag)] = true;
        showHint(h.text);
    };
    if (!w.bonusLevel) {
        w.cameraMode = GameWorld::ZONE;
        for (const Hint& h : kHints) {
            if (flags[static_cast<std::size_t>(h.flag)]) continue;
            if (h.unlock != 0 && !(w.unlocks & h.unlock)) continue;
            hint(h);
            break;
        }
    } else {
        w.cameraMode = GameWorld::CHASE;
        if (!flags[static_cast<std::size_t>(kBonusHint.flag)]) hint(kBonusHint);
    }
    s.swingPhase = INTRO;
    s.introTimer = 0;
    s.shotsLeft = queueSize(w.unlocks);
    w.launchesBanked = 0;
    w.launchSmash.assign(static_cast<std::size_t>(s.shotsLeft + 1), 0);
    w.launchAims.assign(static_cast<std::size_t>(s.shotsLeft + 1), 0);
    s.dropRating = NO_RATING;
    s.batAngle = FixedMath::shl(setup().batRestAngle, 16);
    s.batSpin = 0;
    s.batFreeze = 0;
    s.batArm = (setup().batLength * w.tileWidth) >> 2;
    s.batReach = w.tileWidth;
    s.charRadius = w.tileWidth >> 1;
    placeTip();
    s.leaving = false;
    s.request = NO_REQUEST;
    moveHoldPoint(0);
    endDrop(true);
    if (setup().dropMode == PENDULUM) s.respawnDelay = 0;
    s.hidden = s.batted = true;
    w.chaseInFlight = false;
    s.fireDown = false;
    w.cameraMoved = true;
}

void SwingStage::enter(bool returning) {
    State& s = state();
    if (returning) {
        GameWorld::setTheme(kSwingTheme);
        // The world picture is drawn again with the stage's theme (a bonus
        // level's results keep their frozen picture).
        if (s.swingPhase < BONUS_PENDING) world().cameraMoved = true;
    }
    if (s.swingPhase == FAILED) {
        s.failPanel.reset();
    } else if (s.swingPhase == BONUS_PENDING || s.swingPhase == BONUS_RESULTS) {
        world().resultsPanel.reset();
    } else {
        MainCanvas::setSoftkey(kCommandPause, 0);
    }
    s.heldBits = 0;
}

// ---- per frame ----

void SwingStage::update(int dt) {
    State& s = state();
    auto& w = world();
    Popup::update(dt);
    w.levelClock = FixedMath::add(w.levelClock, dt);
    if (!w.bonusLevel) {
        if (w.unlocks & kUnlockSmashTarget) s.sprites[SMASH_TARGET].update(dt);
        if (w.unlocks & kUnlockAimTarget) s.aimTarget.update(dt);
    }
    for (int slot : {BASE_REST, BASE_SWING, LABEL_1, LABEL_2, LABEL_3}) s.sprites[static_cast<std::size_t>(slot)].update(dt);
    switch (const int phase = s.swingPhase) {
        case INTRO:
        case PLAY: {
            const int mode = setup().dropMode;
            if (mode == PENDULUM || mode == ROPE) moveHoldPoint(dt);
            character().update(dt);
            stepCharacter(dt);
            if (phase == INTRO) {
                if (s.introTimer < kIntroMs) s.introTimer += dt;
                else if (s.swingPhase == INTRO) s.swingPhase = PLAY;
                break;
            }
            GameWorld::updateCamera(dt, px(character().x) - W / 2, px(character().y) - H / 2);
            updateDecals(dt);
            GameWorld::updateEffects(dt);
            if (w.scorePopup.getCurrentAnimation() && w.scorePopup.getLoopsLeft() != 0) w.scorePopup.update(dt);
            break;
        }
        case FAILED:
            s.failPanel.update(dt);
            if (s.heldBits & kHeldFire) {
                MainCanvas::clearSoftkeys();
                MainCanvas::setSoftkey(kCommandPause, 0);
                startSwing();
                s.heldBits &= ~kHeldFire;
            }
            [[fallthrough]];
        case END_WAIT:
            if (s.phaseTimer < kEndWaitMs) s.phaseTimer += dt;
            else if (s.swingPhase == END_WAIT) request(TO_CRASH_STAGE);
            s.wipe.update(dt);
            GameWorld::updateEffects(dt);
            updateDecals(dt);
            GameWorld::updateCamera(dt, -W / 2, -H / 2);
            break;
        case BONUS_PENDING:
            showBonusResults();
            s.swingPhase = BONUS_RESULTS;
            w.resultsPanel.reset();
            break;
        case BONUS_RESULTS:
            w.panelTimer += dt;
            w.resultsTimer += dt;
            Popup::state().panel.update(dt);
            w.resultsPanel.update(dt);
            // One level end, however long FIRE is held.
            if (s.fireDown && !s.leaving) {
                s.fireDown = false;
                MainCanvas::clearSoftkeys();
                request(LEVEL_END);
            }
            break;
        default: break;
    }
}

void SwingStage::moveHoldPoint(int dt) {
    State& s = state();
    const auto& b = setup();
    const int tw = world().tileWidth, th = world().tileHeight;
    // The motion repeats over kClockPeriod for every speed, so the clock
    // wraps there instead of growing without end.
    s.swingClock = static_cast<int>((std::int64_t{s.swingClock} + dt) % kClockPeriod);
    if (s.swingClock < 0) s.swingClock += kClockPeriod;
    s.swingAngle = static_cast<int>((std::int64_t{b.dropSpeed} * s.swingClock / 100) & 255);
    const Point p = holdPointAt(b, tw, th, s.swingAngle);
    s.holdX = p.x;
    s.holdY = p.y;
}

SwingStage::Point SwingStage::holdPointAt(const world::GameWorld::SwingSetup& b, int tw, int th, int angle) {
    const std::int64_t reachX = std::int64_t{tw >> 1} * b.dropSpread * 3 / 100;
    std::int64_t v = ((std::int64_t{b.dropSpread} * tw / 100) * FixedMath::sine(angle)) >> 10;
    if (b.dropMode == PENDULUM) v = std::abs(v);
    return {FixedMath::wrap(b.dropX + ((reachX * FixedMath::cosine(angle)) >> 10)), FixedMath::wrap(b.dropY + v + 2 * th)};
}

SwingStage::Point SwingStage::tipAt(const world::GameWorld::SwingSetup& b, int arm, int batAngle) {
    const int a = (-batAngle) >> 16;
    return {FixedMath::wrap(std::int64_t{px(b.batPivotX)} + ((std::int64_t{arm} * FixedMath::sine(a)) >> 10)),
            FixedMath::wrap(std::int64_t{px(b.batPivotY)} + ((std::int64_t{arm} * FixedMath::cosine(a)) >> 10))};
}

bool SwingStage::batReachesDrop(const world::GameWorld::SwingSetup& b, int tw, int th) {
    const int arm = (b.batLength * tw) >> 2;
    const std::int64_t strike = (std::int64_t{tw} + (tw >> 1)) * 3 / 4;
    // Where the character can be met: its fall from the drop point down
    // past the lowest point of the bat, the hanging point over a whole
    // cycle, or the trampoline's bounce from the drop point up to its top.
    std::vector<Point> waits;
    if (b.dropMode == FALL) {
        const std::int64_t lowest = std::int64_t{px(b.batPivotY)} + arm + strike;
        for (std::int64_t y = b.dropY; y <= lowest; y += 2) waits.push_back({b.dropX, FixedMath::wrap(y)});
    } else if (b.dropMode == TRAMPOLINE) {
        const std::int64_t top = std::int64_t{kTrampolineThrow} * kTrampolineThrow / 16 * (std::int64_t{th} * 0x1800) >> 32;
        for (std::int64_t y = std::int64_t{b.dropY} - top; y <= b.dropY; y += 2) waits.push_back({b.dropX, FixedMath::wrap(y)});
    } else {
        for (int angle = 0; angle < 256; ++angle) waits.push_back(holdPointAt(b, tw, th, angle));
    }
    // The tip turns from rest by kick^2 x 512 / brake angle steps and back;
    // FIRE can be timed to meet the character anywhere on its way, but a
    // quarter of the striking distance is kept for the bat's speed.
    const std::int64_t turn = std::min<std::int64_t>(256, std::int64_t{b.batKick} * b.batKick * 512 / std::max(1, b.batBrake));
    for (std::int64_t a = b.batRestAngle - turn; a <= b.batRestAngle; ++a) {
        const Point tip = tipAt(b, arm, FixedMath::shl(static_cast<int>(a), 16));
        for (const Point& w : waits)
            if (square(std::int64_t{tip.x} - w.x) + square(std::int64_t{tip.y} - w.y) < square(strike)) return true;
    }
    return false;
}

void SwingStage::updateIdle(int dt) {
    State& s = state();
    s.idleClock += dt;
    if (s.idleClock <= kIdleAfterMs) return;
    SpriteSheet& idle = s.sprites[static_cast<std::size_t>(idleSlot())];
    idle.update(dt);
    if (!idle.isDone()) return;
    s.idleClock = 0;
    showFrame(idle, 0);
    s.idleIndex = s.idleIndex >= 4 ? 0 : s.idleIndex + 1;
    showFrame(s.sprites[static_cast<std::size_t>(idleSlot())], 0);
}

void SwingStage::comeIntoPlay() {
    State& s = state();
    auto& w = world();
    const auto& b = setup();
    SpriteSheet& c = character();
    c.x = FixedMath::shl(b.dropX, 16);
    c.y = FixedMath::shl(b.dropY - c.getExtentY() / 2, 16);
    s.charVelX = 0;
    int r = w.random.next(std::abs(b.dropSpread));
    if (b.dropSpread < 0) r = -r;
    s.charVelY = FixedMath::mul(b.dropSpeed + r, 32);
    s.batted = s.hidden = s.firstBounceUsed = false;
    w.chaseInFlight = false;
    if (c.getAnimationCount() > HANGING) {
        if (b.dropMode == PENDULUM) c.setAnimation(HANGING, -1, false);
        else c.setAnimation(FALLING, 1, false);
    }
    if (s.lastDropConsumed) {
        s.shotsLeft -= 1;
        s.lastDropConsumed = false;
    }
    s.walkTimer = kWalkMs;
    s.targetTouched = false;
}

void SwingStage::stepCharacter(int dt) {
    State& s = state();
    auto& w = world();
    const auto& b = setup();
    SpriteSheet& c = character();
    if (b.dropMode == TRAMPOLINE) s.trampoline.update(dt);
    if (!w.bonusLevel) updateIdle(dt);
    if (s.walkTimer >= 0) {
        s.idleClock = 0;
        showFrame(s.sprites[static_cast<std::size_t>(idleSlot())], 0);
        s.walkTimer -= dt;
    }
    if (s.respawnDelay >= 0) {
        s.idleClock = 0;
        showFrame(s.sprites[static_cast<std::size_t>(idleSlot())], 0);
        s.respawnDelay -= dt;
        if (s.respawnDelay < 0) comeIntoPlay();
    }
    if (s.batFreeze > 0) s.batFreeze -= dt;
    if (s.swingPhase == PLAY && batAtRest() && s.fireDown) {
        s.batSpin = FixedMath::shl(b.batKick, 13);
        s.sprites[BASE_SWING].restart();
        s.fireDown = false;
        Popup::close();
    }
    swingBat(dt);

    const int oldX = c.x, oldY = c.y, oldTipX = s.batTipX, oldTipY = s.batTipY;
    w.character.prevX = oldX;
    w.character.prevY = oldY;
    int vyOld = s.charVelY;
    s.charVelY = FixedMath::add(s.charVelY, FixedMath::mul(8, dt));
    if (b.dropMode == TRAMPOLINE && c.y > FixedMath::shl(b.dropY, 16)) {
        c.y = FixedMath::shl(b.dropY, 16);
        s.charVelY = kTrampolineThrow;
        vyOld = -kTrampolineThrow;  // no vertical move in this step
        s.trampoline.setFrame(0);
    }
    const bool ended = moveCharacter(dt, vyOld);
    placeTip();
    if (!ended && !s.hidden && !s.batted && !batAtRest()) hitTest(oldX, oldY, oldTipX, oldTipY);
    // Targets only meet a character in play.
    if (!s.hidden && !w.bonusLevel) touchTargets();
    if (!s.hidden && w.bonusLevel && s.batted) touchBonusObjects();
    if (s.targetTouched) {
        if (s.sparkTimer > 0) {
            s.sparkTimer -= dt;
        } else {
            GameWorld::spawnEffect(px(c.x), px(c.y), kSparkEffect);
            s.sparkTimer = kSparkSpacingMs;
        }
    }
    poseCharacter();
    w.chaseInFlight = s.batted && !s.hidden;
}

// The frame a hanging character shows follows the swing; a flying one
// faces the way it goes.
void SwingStage::poseCharacter() {
    State& s = state();
    SpriteSheet& c = character();
    if (s.hidden || c.getAnimationCount() <= FLYING_LEFT) return;
    const int mode = setup().dropMode;
    if (!s.batted && mode == PENDULUM) {
        const int k = s.swingAngle > 128 ? 255 - s.swingAngle : s.swingAngle;
        if (c.getAnimationIndex() != HANGING) c.setAnimation(HANGING, -1, false);
        showFrame(c, k / 19 + 3);
    } else if (!s.batted && mode == ROPE) {
        const int u = (s.swingAngle + 64) & 255;
        if (c.getAnimationIndex() != BOBBING) c.setAnimation(BOBBING, -1, false);
        showFrame(c, u <= 128 ? u / 22 + 1 : 0);
    } else if (s.batted && (s.charVelX < 1) != s.facingLeft) {
        s.facingLeft = s.charVelX < 1;
        c.setAnimation(s.facingLeft ? FLYING_LEFT : FLYING_RIGHT, 100000, false);
    }
}

void SwingStage::swingBat(int dt) {
    State& s = state();
    const auto& b = setup();
    if (s.batFreeze < 1) {
        s.batSpin = FixedMath::add(s.batSpin, -FixedMath::mul(b.batBrake, dt));
        s.batAngle = FixedMath::add(s.batAngle, -FixedMath::mul(dt, s.batSpin));
    }
    // Back past the rest angle: the bat stops there.
    if ((s.batAngle >> 16) > b.batRestAngle) {
        s.batAngle = FixedMath::shl(b.batRestAngle, 16);
        s.batSpin = 0;
    }
}

bool SwingStage::moveCharacter(int dt, int vyOld) {
    State& s = state();
    auto& w = world();
    const auto& b = setup();
    SpriteSheet& c = character();
    const int stepX = static_cast<int>((std::int64_t{w.speedScaleX} * dt) >> 16);
    const int stepY = static_cast<int>((std::int64_t{w.speedScaleY} * dt) >> 16);
    int dx = FixedMath::mul(s.charVelX, stepX);
    int dy = FixedMath::mul(FixedMath::wrap((std::int64_t{s.charVelY} + vyOld) >> 1), stepY);
    if (!s.batted && (b.dropMode == PENDULUM || b.dropMode == ROPE)) {
        if (b.dropMode == PENDULUM) c.x = FixedMath::shl(s.holdX, 16);
        c.y = FixedMath::shl(s.holdY, 16);
        s.charVelX = 0;
        s.charVelY = kHangingSpeed;
        dx = dy = 0;
    }
    if (s.hidden) return false;
    w.contactNormalX = w.contactNormalY = 0;
    w.lastTile = -1;
    // Only a struck character meets the walls, and not after a target touch.
    if (s.batted && !s.targetTouched) {
        const int r = s.charRadius >> 1, inset = FixedMath::shl(s.charRadius >> 2, 16);
        const int res = TileCollision::sweep(c.x - inset, c.y - inset, r, r, dx, dy, TileCollision::SWING);
        if (res != TileCollision::FREE && res != TileCollision::EDGE) return wallContact(r) || leaveMap();
    }
    c.x = FixedMath::add(c.x, dx);
    c.y = FixedMath::add(c.y, dy);
    return leaveMap();
}

// A struck character at a wall: one bounce off a slope (off anything on a
// bonus level), otherwise a splat that ends the drop (true).
bool SwingStage::wallContact(int r) {
    State& s = state();
    auto& w = world();
    const SpriteSheet& c = character();
    const int nx = w.contactNormalX, ny = w.contactNormalY;
    const bool slope = std::abs(nx) != 256 && std::abs(ny) != 256;
    const int atX = px(FixedMath::add(c.x, w.allowedMoveX)), atY = px(FixedMath::add(c.y, w.allowedMoveY));
    if (!s.firstBounceUsed && (w.bonusLevel || slope)) {
        s.firstBounceUsed = true;
        const std::int64_t len = std::max(1, FixedMath::isqrt(square(nx) + square(ny)));
        const std::int64_t ux = std::int64_t{nx} * 256 / len, uy = std::int64_t{ny} * 256 / len;
        const std::int64_t d = (((s.charVelX * ux) >> 8) + ((s.charVelY * uy) >> 8)) * 2;
        s.charVelX = FixedMath::wrap(s.charVelX - ((ux * d) >> 8));
        s.charVelY = FixedMath::wrap(s.charVelY - ((d * uy) >> 8));
        GameWorld::spawnImpactBurst(atX, atY);
        return false;
    }
    const int markX = atX - (nx >= 0 ? r : -r), markY = atY;
    if (w.lastTile <= 20) {
        // A breakable cell crumbles instead of taking a mark.
        GameWorld::spawnEffect(markX, markY, kCrumbEffect);
        GameWorld::spawnEffect(markX, markY, kPuffEffect);
    } else {
        const auto free = std::find_if(s.decals.begin(), s.decals.end(), [](const Decal& d) { return d.picture == 0; });
        if (free != s.decals.end()) {
            int frame = 0;
            for (int f = 1; f < 8; ++f)
                if (kMarkNormals[static_cast<std::size_t>(f)][0] == nx && kMarkNormals[static_cast<std::size_t>(f)][1] == ny) frame = f;
            *free = Decal{FixedMath::shl(markX, 16), FixedMath::shl(markY, 16), frame == 0 ? 1 : 1 + frame + 8 * w.random.next(2), 0};
        }
    }
    restartLabels();
    s.dropRating = SPLAT;
    endDrop(true);
    s.hidden = true;
    w.chaseInFlight = false;
    GameWorld::spawnImpactBurst(markX, markY);
    return true;
}

// Out of the map the drop ends (true): a struck character banks a launch.
bool SwingStage::leaveMap() {
    State& s = state();
    auto& w = world();
    const SpriteSheet& c = character();
    const bool outside = c.x < 0 || std::int64_t{c.x} > (std::int64_t{w.mapPixelWidth} << 16) || c.y < 0 ||
                         std::int64_t{c.y} > (std::int64_t{w.mapPixelHeight} << 16);
    if (!outside) return false;
    s.hidden = true;
    w.chaseInFlight = false;
    restartLabels();
    if (!s.batted) {
        s.dropRating = NO_RATING;
    } else {
        w.launchesBanked += 1;
        s.dropRating = s.targetTouched ? TARGET_OUT : OUT;
    }
    endDrop(s.batted);
    return true;
}

void SwingStage::placeTip() {
    State& s = state();
    const Point tip = tipAt(setup(), s.batArm, s.batAngle);
    s.batTipX = tip.x;
    s.batTipY = tip.y;
}

// The bat's tip and the character are compared at five points of the
// step, from the old places towards the new ones.
void SwingStage::hitTest(int oldX, int oldY, int oldTipX, int oldTipY) {
    State& s = state();
    const SpriteSheet& c = character();
    const std::int64_t charStepX = (std::int64_t{c.x} - oldX) / 5, charStepY = (std::int64_t{c.y} - oldY) / 5;
    const std::int64_t tipStepX = ((std::int64_t{s.batTipX} - oldTipX) * 65536 / 5) >> 16;
    const std::int64_t tipStepY = ((std::int64_t{s.batTipY} - oldTipY) * 65536 / 5) >> 16;
    const std::int64_t reach = std::int64_t{s.batReach} + s.charRadius;
    for (int i = 0; i < 5; ++i) {
        const std::int64_t x = oldX + i * charStepX, y = oldY + i * charStepY;
        const std::int64_t tipX = oldTipX + i * tipStepX, tipY = oldTipY + i * tipStepY;
        if (square(tipX - (x >> 16)) + square(tipY - (y >> 16)) < square(reach)) {
            strike(FixedMath::wrap(x), FixedMath::wrap(y), FixedMath::wrap(tipX), FixedMath::wrap(tipY));
            return;
        }
    }
}

void SwingStage::strike(int x, int y, int tipX, int tipY) {
    State& s = state();
    auto& w = world();
    const auto& b = setup();
    SpriteSheet& c = character();
    if (b.dropMode == TRAMPOLINE) {
        s.charVelX = 0;
        s.charVelY = kHangingSpeed;
    }
    const std::int64_t speed = std::int64_t{FixedMath::approxDistance(s.charVelX, s.charVelY)} * b.batPower / 100;
    const std::int64_t ex = std::int64_t{px(x)} - tipX, ey = std::int64_t{px(y)} - tipY;
    const std::int64_t len = std::max<std::int64_t>(1, FixedMath::isqrt(square(ex) + square(ey)));
    s.charVelX = FixedMath::wrap(((ex * 256) / len * speed) >> 8);
    s.charVelY = FixedMath::wrap(((ey * 256) / len * speed) >> 8);
    c.x = x;
    c.y = y;
    s.batTipX = tipX;
    s.batTipY = tipY;
    s.batted = true;
    s.batSpin = 0;
    s.facingLeft = s.charVelX <= 0;
    if (c.getAnimationCount() > FLYING_LEFT) c.setAnimation(s.facingLeft ? FLYING_LEFT : FLYING_RIGHT, 100000, false);
    s.batFreeze = kHitFreezeMs;
    GameWorld::spawnEffect(px(x), px(y), kStrikeEffect);
    ScreenEffects::shake(5, 5, 5);
    playHitSound();
    w.chaseInFlight = true;
}

// Touching a target hands its power-up to the launch the character will
// bank next.
void SwingStage::touchTargets() {
    State& s = state();
    auto& w = world();
    const auto& b = setup();
    const SpriteSheet& c = character();
    const int r = s.charRadius, cx = px(c.x), cy = px(c.y);
    const auto at = static_cast<std::size_t>(std::max(0, w.launchesBanked));
    if ((w.unlocks & kUnlockSmashTarget) &&
        GameWorld::boxHitsSprite(cx - r, cy - r, 2 * r, 2 * r, b.smashTargetX, b.smashTargetY, s.sprites[SMASH_TARGET])) {
        GameWorld::spawnEffect(b.smashTargetX, b.smashTargetY, kTargetEffect);
        s.targetTouched = true;
        s.sparkTimer = 0;
        if (at < w.launchSmash.size()) w.launchSmash[at] = 1;
    }
    if ((w.unlocks & kUnlockAimTarget) && GameWorld::boxHitsSprite(cx - r, cy - r, 2 * r, 2 * r, b.aimTargetX, b.aimTargetY, s.aimTarget)) {
        GameWorld::spawnEffect(b.aimTargetX, b.aimTargetY, kTargetEffect);
        s.targetTouched = true;
        if (at < w.launchAims.size()) w.launchAims[at] = (w.unlocks & kUnlockDoubleAim) ? 2 : 1;
        s.sparkTimer = 0;
    }
}

// On a bonus level a struck character breaks the bonus objects it meets.
void SwingStage::touchBonusObjects() {
    const State& s = state();
    auto& w = world();
    const SpriteSheet& c = character();
    const int r = s.charRadius, cx = px(c.x), cy = px(c.y);
    for (int slot = 0; slot < GameWorld::kObjectSlots; ++slot) {
        const auto& o = w.objects[static_cast<std::size_t>(slot)];
        if (o && o->kind == GameWorld::BONUS && GameWorld::boxHitsSprite(cx - r, cy - r, 2 * r, 2 * r, px(o->x), px(o->y), *o))
            GameWorld::destroyObject(slot);
    }
}

void SwingStage::endDrop(bool consumed) {
    State& s = state();
    auto& w = world();
    if (w.bonusLevel && GameWorld::destroyedBonus() == GameWorld::placedBonus()) s.swingPhase = BONUS_PENDING;
    if (s.shotsLeft == 0 && consumed) {
        if (w.launchesBanked == 0 && !w.bonusLevel) {
            buildFailPanel();
            s.swingPhase = FAILED;
        } else {
            s.swingPhase = w.bonusLevel ? BONUS_PENDING : END_WAIT;
        }
        return;
    }
    s.respawnDelay = kRespawnMs;
    s.lastDropConsumed = consumed;
}

void SwingStage::buildFailPanel() {
    State& s = state();
    const auto& fonts = Brindle::shared().fonts;
    TextPanel& p = s.failPanel;
    p = TextPanel{};
    p.setup(TextPanel::MODE_TEXT, 2, 0);
    p.setItem(1, TextPanel::ITEM_STATIC, MainCanvas::text(kFailText), {}, -1);
    p.setStyle(2);
    p.setFonts(fonts[0], fonts[1], fonts[1]);
    p.setBounds(5, H / 4, W - 10, H / 2);
    p.setSoftkeyCommand(0, kCommandRetry);
    p.setSoftkeyCommand(1, kCommandLevels);
    s.phaseTimer = 0;
    p.reset();
}

void SwingStage::showBonusResults() {
    auto& w = world();
    const auto& fonts = Brindle::shared().fonts;
    const State& s = state();
    TextPanel& p = w.resultsPanel;
    p = TextPanel{};
    p.setup(TextPanel::MODE_TEXT, 1, 0);
    p.setStyle(2);
    p.setItem(0, TextPanel::ITEM_STATIC, bonusStars() == 3 ? s.perfectText : s.resultText, {}, -1);
    p.setSoftkeyCommand(0, kCommandOk);
    p.setSoftkeyCommand(1, -1);
    p.setFonts(fonts[0], fonts[1], fonts[1]);
    p.setBounds(5, H / 4, W - 10, H / 2);
    w.panelTimer = 0;
}

void SwingStage::updateDecals(int dt) {
    State& s = state();
    const auto& w = world();
    const int tw = std::max(1, w.tileWidth), th = std::max(1, w.tileHeight);
    for (Decal& d : s.decals) {
        const int frame = (d.picture - 1) % 8;
        if (d.picture == 0 || (frame != 2 && frame != 6)) continue;
        d.speed = FixedMath::add(d.speed, FixedMath::mul(4, dt));
        if (d.speed > 10000 && d.speed < 80000) d.speed = 10000;
        if (d.speed < 160000) {
            const int col = px(d.x) / tw, row = px(d.y) / th;
            if (row >= setup().dropY / th) d.speed = 0;
            if (col > 0 && col < w.mapCols - 1 && row >= 0 && row < w.mapRows && world::TileRules::isEmptyCode(TileCollision::tileAt(col, row)))
                d.speed = 160000;  // off its wall: it falls
        } else if (d.speed > 160000) {
            d.speed = FixedMath::add(d.speed, FixedMath::mul(30, dt));
        }
        d.y = FixedMath::add(d.y, FixedMath::mul(d.speed >> 4, dt));
        if (px(d.y) > w.mapPixelHeight) d = Decal{};
    }
}

void SwingStage::restartLabels() {
    State& s = state();
    for (int slot : {LABEL_1, LABEL_2, LABEL_3}) showFrame(s.sprites[static_cast<std::size_t>(slot)], 0);
}

void SwingStage::playHitSound() {
    const bool second = (world().random.step() & 0x8000) != 0;
    if (SoundPlayer::getEffectsVolume() != 0) SoundPlayer::playEffect(second ? kHitSoundB : kHitSoundA);
}

// ---- keys ----

void SwingStage::key(int code, int type) {
    State& s = state();
    auto& w = world();
    if (s.swingPhase == FAILED) s.failPanel.handleKey(code, type);
    else if (s.swingPhase == BONUS_RESULTS) w.resultsPanel.handleKey(code, type);
    if (type == GameMidlet::KEY_COMMAND) {
        if (s.swingPhase == FAILED && code == kCommandRetry) {
            MainCanvas::clearSoftkeys();
            MainCanvas::setSoftkey(kCommandPause, 0);
            startSwing();
            s.heldBits &= ~kHeldFire;
        } else if (s.swingPhase == FAILED && (code == kCommandLevels || code == kCommandBack)) {
            MainCanvas::clearSoftkeys();
            MainCanvas::setSoftkey(kCommandPause, 0);
            request(TO_LEVEL_SELECT);
        } else if (s.swingPhase == BONUS_RESULTS && code == kCommandOk) {
            s.fireDown = true;
        } else if (s.swingPhase == BONUS_RESULTS && code == kCommandReopen) {
            w.panelTimer = w.resultsTimer = 0;
        } else if (s.swingPhase != FAILED && s.swingPhase != BONUS_RESULTS && code == kCommandPause) {
            request(PAUSE_MENU);
        }
        return;
    }
    int digit = MainCanvas::keyToDigit(code);
    if (digit == 0 && code >= '0' && code <= '9') digit = code;
    int bit = 0;
    switch (digit) {
        case '5': bit = kHeldFire; break;
        case '2': bit = kHeldUp; break;
        case '4': bit = kHeldLeft; break;
        case '6': bit = kHeldRight; break;
        case '8': bit = kHeldDown; break;
        default: return;
    }
    if (type == GameMidlet::KEY_PRESSED) {
        s.heldBits |= bit;
        if (bit == kHeldFire) s.fireDown = true;
    } else if (type == GameMidlet::KEY_RELEASED) {
        s.heldBits &= ~bit;
        if (bit == kHeldFire) s.fireDown = false;
    }
}

void SwingStage::paint(javax::microedition::lcdui::Graphics& g) { SwingPainter::paint(g); }

}  // namespace game::stage
