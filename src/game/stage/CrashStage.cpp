#include "game/stage/CrashStage.h"

#include <algorithm>
#include <array>
#include <string>

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/format/ProgressRecord.h"
#include "game/stage/CrashPanels.h"
#include "game/ui/ScreenEffects.h"
#include "game/world/FixedMath.h"
#include "game/world/LevelLoader.h"
#include "game/world/ObjectContacts.h"
#include "platform/Console.h"

namespace game::stage {

using world::FixedMath;
using world::GameWorld;
using world::LevelLoader;
using world::ObjectContacts;

namespace {

constexpr int W = MainCanvas::kScreenWidth, H = MainCanvas::kScreenHeight;
constexpr int kFireDigit = 53;
constexpr int kLeftSoftkey = 1;  // MainCanvas::setSoftkey's side: the left one
constexpr int kRevealShakeTenths = 5;
constexpr int kLastLevel = format::Progress::kLevels;

// The character's ten animations: run, take-off, flight, three tumbles,
// four slides; the second column is the look while the launch has aim
// charges.
constexpr std::array<std::array<std::int32_t, 2>, 10> kCharacterAnimations = {{
    {0x300B3, 0x6000D}, {0x4000E, 0x6000A}, {0x30090, 0x60008}, {0x30053, 0x5010A}, {0x30015, 0x50119},
    {0x40003, 0x50112}, {0x300CB, 0x60007}, {0x3009B, 0x50108}, {0x40012, 0x60003}, {0x300B6, 0x60006},
}};

// Hints of the stage's start, each once per progress: (flag, text).
struct Hint {
    int flag;
    int text;
};

GameWorld::State& world() { return GameWorld::state(); }

SpriteSheet characterSprite(int column) {
    std::vector<SpriteSheet::Animation> list;
    for (const auto& row : kCharacterAnimations) list.push_back(GameWorld::animationOrNone(row[static_cast<std::size_t>(column)]));
    SpriteSheet s;
    s.init(std::move(list), true);
    return s;
}

}  // namespace

CrashStage::State& CrashStage::state() {
    static State s;
    return s;
}

void CrashStage::resetClassState() { state() = State{}; }

format::Progress& CrashStage::progress() { return Brindle::shared().progress; }

bool CrashStage::unlocked(int bit) { return (world().unlocks & bit) != 0; }

int CrashStage::levelParam(int i) {
    const auto& p = world().levelParams;
    return i >= 0 && static_cast<std::size_t>(i) < p.size() ? p[static_cast<std::size_t>(i)] : 0;
}

void CrashStage::request(Request r, int result) {
    State& s = state();
    s.request = r;
    s.requestResult = result;
}

CrashStage::Request CrashStage::takeRequest() {
    State& s = state();
    const Request r = s.request;
    s.request = Request::NONE;
    return r;
}

// ---- setup ----

bool CrashStage::setupStep(int step) {
    State& s = state();
    GameWorld::State& w = world();
    switch (step) {
        case 0: {
            // Everything of the last visit goes; the sprites made once stay.
            State fresh;
            fresh.launchIcon = std::move(s.launchIcon);
            fresh.launchDigits = std::move(s.launchDigits);
            fresh.hudBadge = std::move(s.hudBadge);
            fresh.aimRing = std::move(s.aimRing);
            fresh.aimPointer = std::move(s.aimPointer);
            fresh.targetIcon = std::move(s.targetIcon);
            fresh.launchCounter = std::move(s.launchCounter);
            fresh.separator = std::move(s.separator);
            fresh.goalDigits = std::move(s.goalDigits);
            s = std::move(fresh);
            s.level = std::clamp(progress().selectedLevel, 1, kLastLevel);
            s.launchesLeft = w.launchesBanked;
            GameWorld::resetStats();
            // The map is not loaded yet: this is the last map's size; the
            // crash map's own initial camera replaces it.
            w.cameraX = w.mapPixelWidth - W;
            w.cameraY = 0;
            w.crashStage = true;
            w.levelNumber = s.level;
            w.unlocks = progress().unlockMask;
            w.levelClock = w.overlayClock = 0;
            break;
        }
        case 1: GameWorld::initWorld(); break;
        case 2:
            try {
                if (!w.levelTableLoaded) LevelLoader::loadLevel(LevelLoader::kHeaderMap, true, LevelLoader::NO_PAD);
                LevelLoader::loadLevel(w.levelTable[static_cast<std::size_t>(s.level)][1], false, LevelLoader::PAD_ABOVE);
            } catch (const std::exception& e) {
                platform::Console::println("crash stage of level " + std::to_string(s.level) + " not loaded: " + e.what());
                s.loadFailed = true;
                request(Request::LEVEL_SELECT);
                return true;
            }
            break;
        case 3: GameWorld::loadTileImage(); break;
        case 4:
            w.character.sprite = characterSprite(0);
            if (!w.character.powered.getCurrentAnimation()) w.character.powered = characterSprite(1);
            if (!w.powerUp.getCurrentAnimation()) w.powerUp = GameWorld::makeSprite(kPoweredMarker, true);
            break;
        case 5: {
            w.floatingDigits = GameWorld::makeSprite(GameWorld::kFloatingDigits, false);
            s.launchIcon = GameWorld::makeSprite(kLaunchIcon, false);
            s.launchDigits = GameWorld::makeSprite(kLaunchDigits, false);
            s.hudBadge = GameWorld::makeSprite(kHudBadge, false);
            s.aimRing = GameWorld::makeSprite(kAimRing, false);
            s.aimPointer = GameWorld::makeSprite(kAimPointer, false);
            // The score popup starts finished: it plays at each destruction.
            w.scorePopup = GameWorld::makeSprite(GameWorld::kScorePopup, false);
            w.scorePopup.setFrameTime(10000);
            w.scorePopup.update(1);
            for (auto [sprite, id] : {std::pair{&s.targetIcon, kTargetIcon}, {&s.launchCounter, kLaunchCounter},
                                      {&s.separator, kSeparator}, {&s.goalDigits, kGoalDigits}})
                if (!sprite->getCurrentAnimation()) *sprite = GameWorld::makeSprite(id, false);
            if (!w.barrier.getCurrentAnimation()) w.barrier = GameWorld::makeSprite(GameWorld::kBarrierSprite, true);
            break;
        }
        case 6:
            s.resultsPicture = GameWorld::makeSprite(kResultsPicture, false);
            s.gradeStars = GameWorld::makeSprite(kGradeStars, false);
            s.resultsCharacter = GameWorld::makeSprite(kResultsCharacter, true);
            s.resultsScroll = -500;
            break;
        case 7:
            GameWorld::setTheme(w.levelTable[static_cast<std::size_t>(s.level)][3]);
            GameWorld::loadOverlays();
            break;
        case 8:
            w.speedScaleX = w.tileWidth * 0x1800;
            w.speedScaleY = w.tileHeight * 0x1800;
            resetLaunch(true);
            GameWorld::stopCamera();
            break;
        case 9:
            w.cameraX = w.initialCameraX;
            w.cameraY = w.initialCameraY;
            panToStart(static_cast<int>(std::int64_t{FixedMath::approxDistance(w.initialCameraX, w.initialCameraY)} * 1000 /
                                        std::max(w.tileWidth * 4, 1)));
            s.aimHintArmed = false;
            break;
        case 10:
            showHints();
            s.introTimer = 0;
            s.phase = INTRO;
            break;
        case 11: {
            s.resultsTimer = s.wipeTimer = s.failTimer = s.finaleTimer = 0;
            const int stored = progress().levelGrade[static_cast<std::size_t>(s.level)];
            s.goalCount = stored > 1 ? GameWorld::placedTargets() : w.targetCount;
            break;
        }
        default: return true;
    }
    return false;
}

void CrashStage::showHints() {
    auto& flags = progress().progressFlags;
    const GameWorld::State& w = world();
    const Hint hints[] = {{2, kFirstHint}, {29, kFinaleHint}, {31, kBarrierHint}, {16, 96}, {17, 97}, {18, 98}, {19, 99}, {9, kAimHint}};
    const bool applies[] = {true,
                            w.finale.present,
                            w.hasBarriers,
                            unlocked(kUnlockSmash),
                            unlocked(kUnlockSmashNeighbours),
                            unlocked(kUnlockTrail),
                            unlocked(kUnlockExtra),
                            unlocked(kUnlockAim)};
    for (std::size_t i = 0; i < std::size(hints); ++i) {
        bool& seen = flags[static_cast<std::size_t>(hints[i].flag)];
        if (!applies[i] || seen) continue;
        seen = true;
        showHint(hints[i].text);
    }
}

void CrashStage::showHint(int textId) {
    State& s = state();
    const bool aim = textId == kAimHint;
    if (!s.popupShown) {
        CrashPanels::showPopup(textId);
        s.popupShown = true;
        if (aim) s.aimHintArmed = true;
    } else {
        s.pendingPopup = textId;
        s.aimHintQueued = aim;
    }
}

// FIRE closes the hint in view (unless it is the aim hint waiting for
// its aim) and brings up the one waiting.
void CrashStage::popupDismissed() {
    State& s = state();
    if (s.aimHintArmed) return;
    CrashPanels::closePopup();
    s.popupShown = false;
    if (s.pendingPopup >= 0) {
        CrashPanels::showPopup(s.pendingPopup);
        s.popupShown = true;
        s.pendingPopup = -1;
        if (s.aimHintQueued) s.aimHintArmed = true;
        s.aimHintQueued = false;
    }
}

// ---- launches ----

int CrashStage::launchIndex() { return world().launchesBanked - state().launchesLeft - 1; }

bool CrashStage::hasAimCharge() {
    const int i = launchIndex();
    const auto& aims = world().launchAims;
    return i >= 0 && static_cast<std::size_t>(i) < aims.size() && aims[static_cast<std::size_t>(i)] > 0;
}

int CrashStage::maxBounces() {
    return (unlocked(kUnlockTrail) ? 5 : 3) + (unlocked(kUnlockBounces) ? 2 : 0);
}

void CrashStage::flushCombo() {
    State& s = state();
    GameWorld::State& w = world();
    const int n = w.comboCount;
    if (n == 2) w.combos2 += 1;
    else if (n == 3) w.combos3 += 1;
    else if (n >= 4) w.combosMore += 1;
    if (n >= 2) s.comboSteps += n - 1;
    w.comboCount = 0;
}

void CrashStage::resetLaunch(bool consume) {
    State& s = state();
    GameWorld::State& w = world();
    auto& c = w.character;
    // Everything broken: the play is over, no launch starts.
    if (checkCleared()) return;
    if (s.launchesLeft < 1 && consume && s.phase == PLAY) {
        flushCombo();
        s.phase = TALLY;
        c.sprite.x = w.startX;
        c.sprite.y = w.startY;
        return;
    }
    s.aimHintArmed = false;
    s.popupShown = false;
    if (w.airStart) {
        c.launchMode = AIRBORNE;
        GameWorld::setCharacterAnimation(1, 1);
    } else {
        c.launchMode = RUN_UP;
        GameWorld::setCharacterAnimation(0, -1);
    }
    c.sprite.x = w.startX;
    c.sprite.y = w.startY;
    c.velX = levelParam(0);
    c.velY = 0;
    c.prevX = c.prevY = 0;
    w.contactNormalX = w.contactNormalY = 0;
    w.friction = w.restitution = 0;
    w.allowedMoveX = w.allowedMoveY = 0;
    w.lastTile = -1;
    c.bounceCount = 0;
    s.contactCount = 0;
    s.slowTimer = kSlowMs;
    s.stuck = false;
    s.dustTimer = 0;
    c.trailTimer = 0;
    s.launchClock = 0;
    s.stopTimer = 0;
    flushCombo();
    if (consume) s.launchesLeft -= 1;
    s.smashTrail = c.superSmash = false;
    const int i = launchIndex();
    if (unlocked(kUnlockSmash) && i >= 0 && static_cast<std::size_t>(i) < w.launchSmash.size() &&
        w.launchSmash[static_cast<std::size_t>(i)])
        s.smashTrail = c.superSmash = true;
    updatePowered();
}

void CrashStage::updatePowered() { world().launchPowered = state().smashTrail || hasAimCharge(); }

// A map without targets has nothing to clear: its launches are played out.
bool CrashStage::checkCleared() {
    State& s = state();
    GameWorld::State& w = world();
    const int placed = GameWorld::placedTargets();
    if (placed == 0 || GameWorld::destroyedTargets() != placed) return false;
    flushCombo();
    s.cleared = true;
    if (w.finale.present) {
        s.finaleTimer = 0;
        s.phase = FINALE;
        GameWorld::startPan(w.finale.revealX - W / 2, w.finale.revealY - H / 2, kRevealPanMs);
    } else {
        s.phase = TALLY;
    }
    return true;
}

void CrashStage::panToStart(int ms) {
    State& s = state();
    const GameWorld::State& w = world();
    s.cameraOffsetX = W / 8;
    s.cameraOffsetY = H / 8;
    GameWorld::startPan((w.startX >> 16) - s.cameraOffsetX, (w.startY >> 16) - s.cameraOffsetY, ms);
}

// ---- frames ----

void CrashStage::tick(int frameMs) {
    State& s = state();
    s.accumulator = FixedMath::add(s.accumulator, std::max(frameMs, 0));
    if (s.accumulator < kMinStepMs) return;
    const int dt = std::min(s.accumulator, kMaxStepMs);
    s.accumulator = 0;
    update(dt);
}

void CrashStage::update(int dt) {
    State& s = state();
    GameWorld::State& w = world();
    const bool fire = s.fireLatch || s.fireTapped;
    s.fireTapped = false;
    if (w.theme == 2) w.themePattern.update(dt);
    const auto& c = w.character.sprite;
    switch (s.phase) {
        case INTRO:
            ObjectContacts::updateObjects(dt);
            GameWorld::updateEffects(dt);
            GameWorld::updateCamera(dt, (w.startX >> 16) - s.cameraOffsetX, (w.startY >> 16) - s.cameraOffsetY);
            if (s.introTimer < kIntroMs) s.introTimer += dt;
            // Nothing banked: straight to the tally.
            if (w.cameraMode == GameWorld::FOLLOW && s.introTimer >= kIntroMs) s.phase = s.launchesLeft < 0 ? TALLY : PLAY;
            break;
        case PLAY:
            CrashPanels::updatePopup(dt);
            ObjectContacts::updateObjects(dt);
            launchStep(dt, fire);
            GameWorld::updateEffects(dt);
            GameWorld::updateCamera(dt, (c.x >> 16) - s.cameraOffsetX, (c.y >> 16) - s.cameraOffsetY);
            if (!w.scorePopup.isDone()) w.scorePopup.update(dt);
            break;
        case TALLY: tally(); break;
        case RESULTS:
            resultsAnimation(dt);
            s.resultsCharacter.update(dt);
            if (s.resultsTimer > kWipeMs && !s.resultsReady) {
                s.resultsReady = true;
                MainCanvas::clearSoftkeys();
                MainCanvas::setSoftkey(kCommandConfirm, kLeftSoftkey);
            }
            if (fire && s.resultsReady && !s.levelEnded) {
                s.fireLatch = false;
                s.levelEnded = true;
                MainCanvas::clearSoftkeys();
                request(Request::LEVEL_END, w.finale.present ? 2 : 1);
            }
            break;
        case FINALE:
            ObjectContacts::updateObjects(dt);
            GameWorld::updateEffects(dt);
            GameWorld::updateCamera(dt, w.cameraX, w.cameraY);
            if (w.cameraMode == GameWorld::FOLLOW && !w.finale.isOpen) revealFinale();
            s.finaleTimer += dt;
            if (s.finaleTimer > kFinaleMs) s.phase = TALLY;
            break;
        case FAILED:
            s.failTimer = FixedMath::add(s.failTimer, dt);
            CrashPanels::updatePanel(dt);
            break;
        case WIPE:
            s.wipeTimer += dt;
            s.resultsCharacter.update(dt);
            if (s.wipeTimer >= kWipeMs) {
                // A FIRE held through the wipe does not pass the results unseen.
                s.phase = RESULTS;
                s.fireLatch = false;
            }
            break;
        default: break;
    }
    w.levelClock = FixedMath::add(w.levelClock, dt);
    if (w.overlay || w.theme == 2) w.overlayClock = FixedMath::add(w.overlayClock, dt);
    s.redraw = true;
}

void CrashStage::revealFinale() {
    auto& f = world().finale;
    GameWorld::spawnEffect(f.revealX, f.revealY, 6);
    GameWorld::spawnEffect(f.revealX, f.revealY, 3);
    GameWorld::spawnSparkRing(f.revealX, f.revealY);
    f.isOpen = true;
    ScreenEffects::shake(5, kRevealShakeTenths, 5);
    SoundPlayer::playSound(kRevealSound);
}

// ---- the end of the level ----

int CrashStage::computeScore() {
    const State& s = state();
    const GameWorld::State& w = world();
    const std::int64_t score = std::int64_t{kTargetPoints} * GameWorld::destroyedTargets() + std::int64_t{kTilePoints} * w.destroyedTiles +
                               std::int64_t{kComboPoints} * s.comboSteps +
                               (s.cleared ? std::int64_t{kLaunchBonus} * std::max(s.launchesLeft, 0) : 0);
    return static_cast<int>(std::min<std::int64_t>(score, INT32_MAX));
}

void CrashStage::tally() {
    State& s = state();
    const GameWorld::State& w = world();
    flushCombo();
    const int destroyed = GameWorld::destroyedTargets();
    s.score = computeScore();
    if (destroyed < w.targetCount) {
        enterFailed();
        return;
    }
    s.grade = FixedMath::gradeOf(destroyed, w.targetCount, GameWorld::placedTargets());
    const int stored = progress().levelGrade[static_cast<std::size_t>(s.level)];
    s.gradeImproved = stored - 1 < s.grade;
    s.firstFinish = s.level == kLastLevel && stored < 2 && s.gradeImproved;
    MainCanvas::clearSoftkeys();
    CrashPanels::buildResults(s.grade);
    s.wipeTimer = 0;
    s.phase = WIPE;
}

void CrashStage::enterFailed() {
    State& s = state();
    s.failTimer = 0;
    s.phase = FAILED;
    CrashPanels::closePopup();
    CrashPanels::buildFailure();
}

// Grade stars and the scroll of a results picture taller than the screen.
void CrashStage::resultsAnimation(int dt) {
    State& s = state();
    s.resultsTimer = FixedMath::add(s.resultsTimer, dt);
    s.failTimer = FixedMath::add(s.failTimer, dt);
    auto& stars = s.gradeStars;
    if (const auto& a = stars.getCurrentAnimation()) {
        const int hold = std::min(s.grade * 6, (*a)[4] - 1);
        if (stars.getFrame() < hold) stars.update(dt);
        if (stars.getFrame() >= hold) stars.setFrame(hold);
    }
    const int excess = s.resultsPicture.getExtentY() - H;
    if (excess > 20) {
        const int h = excess / 2, t = s.resultsTimer % 4000;
        s.resultsScroll = t < 1000 ? -h : t < 2000 ? -h + 2 * h * (t - 1000) / 1000 : t < 3000 ? h : h - 2 * h * (t - 3000) / 1000;
    } else {
        s.resultsScroll = 0;
    }
}

// ---- keys ----

void CrashStage::pressFire() {
    State& s = state();
    s.fireTapped = true;
    s.fireLatch = true;
}

void CrashStage::releaseFire() { state().fireLatch = false; }

void CrashStage::onPointer(int type) {
    if (type == GameMidlet::POINTER_PRESS) onKey(GameMidlet::KEY_PRESSED, 0, kFireDigit);
    else if (type == GameMidlet::POINTER_RELEASE) onKey(GameMidlet::KEY_RELEASED, 0, kFireDigit);
}

void CrashStage::onKey(int type, int code, int action) {
    State& s = state();
    const bool command = type == GameMidlet::KEY_COMMAND;
    const bool fire = action == kFireDigit && !command;
    auto leave = [&](Request r) {
        MainCanvas::clearSoftkeys();
        MainCanvas::setSoftkey(kCommandPause, 0);
        request(r);
    };
    if (s.phase == RESULTS && s.resultsReady) {
        CrashPanels::panelKey(code, type);
        if ((command && code == kCommandConfirm) || (fire && type == GameMidlet::KEY_PRESSED)) pressFire();
        else if (fire && type == GameMidlet::KEY_RELEASED) releaseFire();
        return;
    }
    if (s.phase == FAILED) {
        if ((command && code == kCommandRetry) || (fire && type == GameMidlet::KEY_PRESSED)) leave(Request::RETRY);
        else if (command && (code == kCommandLevels || code == kCommandQuit)) leave(Request::LEVEL_SELECT);
        return;
    }
    if (command) {
        if (code == kCommandPause) request(Request::PAUSE);
        else if (code == kCommandConfirm && (s.phase == RESULTS || s.phase == WIPE)) {
            s.phase = RESULTS;
            s.resultsReady = true;
            pressFire();
        }
        return;
    }
    if (!fire) return;
    if (type == GameMidlet::KEY_PRESSED) {
        if (s.phase != RESULTS) pressFire();
    } else if (type == GameMidlet::KEY_RELEASED) {
        releaseFire();
    }
}

void CrashStage::resume() {
    State& s = state();
    s.redraw = true;
    MainCanvas::clearSoftkeys();
    if (s.phase == RESULTS && s.resultsReady) MainCanvas::setSoftkey(kCommandConfirm, kLeftSoftkey);
    else if (s.phase == FAILED) CrashPanels::resumePanel();
    else if (s.phase != TALLY && s.phase != RESULTS && s.phase != WIPE) MainCanvas::setSoftkey(kCommandPause, 0);
}

}  // namespace game::stage
