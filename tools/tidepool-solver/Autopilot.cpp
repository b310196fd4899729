#include "Autopilot.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "GameSnapshot.h"
#include "TarvokinEmu/Emulator.h"
#include "TarvokinEmu/Launch.h"
#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/flow/GameStates.h"
#include "game/flow/StateMachine.h"
#include "game/stage/CrashStage.h"
#include "game/stage/SwingStage.h"
#include "game/world/GameWorld.h"

namespace solver {

namespace {

using game::Brindle;
using game::flow::StateMachine;
using game::stage::CrashStage;
using game::stage::SwingStage;
using game::world::GameWorld;
namespace flow = game::flow;

constexpr int kNavigateGap = 8;     // frames between two menu keys
constexpr int kSwingWindow = 90;    // FIRE frames tried per drop
constexpr int kSwingFlight = 400;   // frames a struck character may fly
constexpr int kTakeOffWindow = 380; // take-off frames tried per launch: the whole run-up
constexpr int kTakeOffStride = 4;
constexpr int kLaunchLimit = 1600;  // look-ahead frames of one launch
// Searches in a row that found no strike: the bat cannot reach.
constexpr int kMaxMisses = 8;
constexpr int kMaxAttempts = 2;  // swing stages played before giving up

int gameState() { return Brindle::currentState(); }

// With TIDEPOOL_SOLVER_TRACE set, the choices are told on standard error.
void trace(const std::string& line) {
    static const bool on = std::getenv("TIDEPOOL_SOLVER_TRACE") != nullptr;
    if (on) std::fprintf(stderr, "solver: %s\n", line.c_str());
}

struct Clock {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    double ms() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
};

// What a launch in the crash stage is worth: targets (and hits on the
// roaming target) first, then the score.
std::int64_t crashWorth() {
    const GameWorld::State& w = GameWorld::state();
    const int hits = w.finale.roaming ? w.finale.hitsAtStart - w.finale.hitsLeft : 0;
    return (static_cast<std::int64_t>(GameWorld::destroyedTargets()) + hits) * 1000000 + CrashStage::computeScore();
}

// What a drop in the swing stage is worth: bonus objects broken, a launch
// banked, its power-ups.
int swingWorth(int bankedBefore, int bonusBefore) {
    const GameWorld::State& w = GameWorld::state();
    int worth = (GameWorld::destroyedBonus() - bonusBefore) * 1000;
    if (w.launchesBanked > bankedBefore) {
        worth += 100;
        const auto i = static_cast<std::size_t>(w.launchesBanked - 1);
        if (i < w.launchSmash.size() && w.launchSmash[i]) worth += 10;
        if (i < w.launchAims.size()) worth += 10 * w.launchAims[i];
    }
    return worth;
}

}  // namespace

Autopilot::Autopilot(driver::Session& session) : session_(session) {}

int Autopilot::frames() const { return session_.framesRun(); }

void Autopilot::tap(const std::string& key, int inFrames) {
    const int at = session_.framesRun() + 1 + inFrames;
    taps_.push_back({at, key, true});
    taps_.push_back({at + 1, key, false});
}

bool Autopilot::realFrame() {
    const int frame = session_.framesRun() + 1;
    std::vector<driver::ScriptInput> inputs;
    std::stable_sort(taps_.begin(), taps_.end(), [](const Tap& a, const Tap& b) { return a.frame < b.frame; });
    auto due = taps_.begin();
    for (; due != taps_.end() && due->frame <= frame; ++due) {
        driver::ScriptInput input;
        input.frame = frame;
        input.key = driver::keyFromName(due->key);
        input.key.pressed = due->down;
        inputs.push_back(input);
        script_ << frame << " key " << (due->down ? "down " : "up ") << due->key << "\n";
    }
    taps_.erase(taps_.begin(), due);
    return session_.frame(inputs);
}

void Autopilot::lookFrame(bool press, bool release) {
    if (press || release) {
        platform::KeyEvent key = driver::keyFromName("Return");
        key.pressed = press;
        session_.launch().emulator().keyEvent(key);
    }
    game::MainCanvas::deliverInput();
    if (game::GameMidlet* game = game::GameMidlet::instance()) game->tick(StateMachine::state().frameMs);
    if (out_) out_->statesTried++;
}

int Autopilot::lookAhead(const std::vector<int>& taps, int limit, const std::function<bool(int)>& done) {
    int f = 0;
    for (; f < limit && !done(f); ++f) {
        const bool press = std::find(taps.begin(), taps.end(), f) != taps.end();
        const bool release = std::find(taps.begin(), taps.end(), f - 1) != taps.end();
        lookFrame(press, release);
    }
    return f;
}

// ---- the swing stage ----

void Autopilot::swingChoice() {
    const SwingStage::State& s = SwingStage::state();
    if (s.swingPhase != SwingStage::PLAY || s.hidden || !SwingStage::batAtRest()) return;
    Clock clock;
    const GameSnapshot base = GameSnapshot::capture();
    const int banked = GameWorld::state().launchesBanked, bonus = GameWorld::destroyedBonus();
    const bool powerUps = (SwingStage::unlocks() & (SwingStage::kUnlockSmashTarget | SwingStage::kUnlockAimTarget)) != 0;
    const int enough = SwingStage::bonusLevel() ? 1 << 30 : 100 + (powerUps ? 10 : 0);
    int best = -1, bestWorth = 0;
    for (int k = 0; k < kSwingWindow; ++k) {
        const GameSnapshot here = GameSnapshot::capture();
        lookAhead({0}, kSwingFlight, [&](int f) { return f > 1 && SwingStage::state().hidden; });
        const int worth = swingWorth(banked, bonus);
        here.restore();
        if (worth > bestWorth) best = k, bestWorth = worth;
        if (bestWorth >= enough) break;
        lookFrame(false, false);
        if (s.hidden || s.swingPhase != SwingStage::PLAY) break;
    }
    base.restore();
    out_->searchMs += clock.ms();
    if (best >= 0) {
        tap("Return", best);
        waitUntil_ = session_.framesRun() + best + 3;
        swingMisses_ = 0;
    } else {
        // Nothing strikes from here: let the drop go by and look again.
        waitUntil_ = session_.framesRun() + kSwingWindow / 2;
        ++swingMisses_;
    }
}

// ---- the crash stage ----

void Autopilot::crashChoice() {
    const CrashStage::State& s = CrashStage::state();
    const GameWorld::State& w = GameWorld::state();
    if (s.phase != CrashStage::PLAY || w.character.launchMode != CrashStage::RUN_UP) return;
    Clock clock;
    const GameSnapshot base = GameSnapshot::capture();
    const int launch = CrashStage::launchIndex();
    auto launchOver = [&](int) { return CrashStage::launchIndex() != launch || s.phase != CrashStage::PLAY; };
    int best = -1;
    std::int64_t bestWorth = -1;
    for (int k = 0; k < kTakeOffWindow; k += kTakeOffStride) {
        const GameSnapshot here = GameSnapshot::capture();
        bool ignored = false;
        lookAhead({0}, kLaunchLimit, [&](int f) {
            // FIRE that did not make it take off: not a candidate.
            ignored = f > 4 && w.character.launchMode == CrashStage::RUN_UP && CrashStage::launchIndex() == launch;
            return ignored || launchOver(f);
        });
        const std::int64_t worth = ignored ? -1 : crashWorth();
        here.restore();
        if (worth > bestWorth) best = k, bestWorth = worth;
        lookAhead({}, kTakeOffStride, [&](int) { return launchOver(0) || w.character.launchMode != CrashStage::RUN_UP; });
        if (launchOver(0) || w.character.launchMode != CrashStage::RUN_UP) break;
    }
    base.restore();
    out_->searchMs += clock.ms();
    trace("launch " + std::to_string(launch) + ": take-off in " + std::to_string(best) + " frames, worth " +
          std::to_string(bestWorth) + " (goal " + std::to_string(w.targetCount) + " of " +
          std::to_string(GameWorld::placedTargets()) + " targets)");
    if (best >= 0) {
        tap("Return", best);
        waitUntil_ = session_.framesRun() + best + 3;
    } else {
        waitUntil_ = session_.framesRun() + 10;
    }
}

// A launch in flight with an aim charge: FIRE hangs it while the aim
// turns, FIRE again sends it. Tried at a few hang frames and every few
// aim frames, against flying on as it is.
void Autopilot::aimChoice() {
    const CrashStage::State& s = CrashStage::state();
    const GameWorld::State& w = GameWorld::state();
    const int launch = CrashStage::launchIndex();
    if (s.phase != CrashStage::PLAY || w.character.launchMode != CrashStage::AIRBORNE || aimLaunch_ == launch ||
        !CrashStage::hasAimCharge())
        return;
    aimLaunch_ = launch;
    Clock clock;
    const GameSnapshot base = GameSnapshot::capture();
    auto launchOver = [&](int) { return CrashStage::launchIndex() != launch || s.phase != CrashStage::PLAY; };
    lookAhead({}, kLaunchLimit, launchOver);
    std::int64_t bestWorth = crashWorth();
    std::vector<int> best;
    base.restore();
    for (int hang : {2, 8, 16, 28}) {
        for (int turn = 4; turn < 100; turn += 6) {
            lookAhead({hang, hang + turn}, kLaunchLimit, launchOver);
            const std::int64_t worth = crashWorth();
            base.restore();
            if (worth > bestWorth) best = {hang, hang + turn}, bestWorth = worth;
        }
    }
    out_->searchMs += clock.ms();
    for (int f : best) tap("Return", f);
    if (!best.empty()) waitUntil_ = session_.framesRun() + best.back() + 3;
}

// ---- everything else: menus, level select, panels ----

void Autopilot::navigate(int level) {
    const int state = gameState();
    auto& progress = Brindle::shared().progress;
    switch (state) {
    case flow::STATE_MENU:
        // The sound question: no (the right softkey); every other menu: its first item.
        tap(StateMachine::state().menuId == 1 ? "BackSpace" : "Return");
        break;
    case flow::STATE_SPLASH:
    case flow::STATE_INTRO:
    case flow::STATE_REWARD:
    case flow::STATE_BRIEFING:
    case flow::STATE_NOTICE_RESET:
    case flow::STATE_NOTICE_FINISHED:
    case flow::STATE_NOTICE_ALL_LEVELS:
    case flow::STATE_NOTICE_PERFECT: tap("Return"); break;
    case flow::STATE_LEVEL_SELECT:
        if (!levelSelectSeen_) {
            levelSelectSeen_ = true;
            if (levelSelectHook_) levelSelectHook_();
        }
        tap(progress.selectedLevel == level ? "Return" : "Right");
        break;
    case flow::STATE_SWING_STAGE: {
        const int phase = SwingStage::state().swingPhase;
        if (phase == SwingStage::FAILED) {
            tap("Return");
        } else if (phase == SwingStage::BONUS_RESULTS) {
            // Its OK is the left softkey.
            tap((session_.framesRun() / kNavigateGap) % 2 ? "Escape" : "Return");
        }
        break;
    }
    case flow::STATE_CRASH_STAGE: {
        const CrashStage::State& s = CrashStage::state();
        if (s.phase == CrashStage::RESULTS && s.resultsReady) tap("Return");
        if (s.phase == CrashStage::FAILED && s.failTimer > 500) tap("Return");
        break;
    }
    default: return;
    }
    if (!taps_.empty()) waitUntil_ = session_.framesRun() + kNavigateGap;
}

bool Autopilot::playLevel(int level, LevelOutcome& out, int frameBudget) {
    out = LevelOutcome{};
    out.level = level;
    out_ = &out;
    const int start = session_.framesRun();
    bool played = false;
    swingMisses_ = 0;
    while (session_.framesRun() - start < frameBudget && out.attempts <= kMaxAttempts && swingMisses_ < kMaxMisses) {
        const int state = gameState();
        const bool idle = gameState() != flow::STATE_LOADING && taps_.empty() && session_.framesRun() >= waitUntil_;
        if (state == flow::STATE_SWING_STAGE && lastStage_ != state) {
            ++out.attempts;
            played = true;
            if (seeded_) GameWorld::state().random.seed = seed_;
        }
        if (state == flow::STATE_CRASH_STAGE && lastStage_ != state) out.launchesBanked = GameWorld::state().launchesBanked;
        if (state == flow::STATE_SWING_STAGE || state == flow::STATE_CRASH_STAGE || state == flow::STATE_LEVEL_SELECT)
            lastStage_ = state;
        if (played && state == flow::STATE_LEVEL_SELECT &&
            Brindle::shared().progress.levelGrade[static_cast<std::size_t>(level)] >= 2) {
            out.finished = true;
            break;
        }
        if (idle) {
            if (state == flow::STATE_SWING_STAGE) swingChoice();
            if (state == flow::STATE_CRASH_STAGE) {
                crashChoice();
                if (taps_.empty()) aimChoice();
            }
            if (taps_.empty() && session_.framesRun() >= waitUntil_) navigate(level);
        }
        if (!realFrame()) break;
    }
    out.grade = Brindle::shared().progress.levelGrade[static_cast<std::size_t>(level)];
    out.frames = session_.framesRun() - start;
    out_ = nullptr;
    return out.finished;
}

bool Autopilot::settleInLevelSelect(int quiet, int frameBudget) {
    const int start = session_.framesRun();
    int stillSince = -1;
    while (session_.framesRun() - start < frameBudget) {
        const int state = gameState();
        if (state == flow::STATE_LEVEL_SELECT && StateMachine::state().nextState == -1 && taps_.empty()) {
            if (stillSince < 0) stillSince = session_.framesRun();
            if (session_.framesRun() - stillSince >= quiet) return true;
        } else {
            stillSince = -1;
            if (state != flow::STATE_LEVEL_SELECT && state != flow::STATE_LOADING && taps_.empty() &&
                session_.framesRun() >= waitUntil_)
                navigate(0);
        }
        if (!realFrame()) return false;
    }
    return false;
}

}  // namespace solver
