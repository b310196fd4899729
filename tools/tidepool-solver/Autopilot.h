// Plays the real game, running in a driver session, the way a player would:
// through the menus and the level select by their keys, and in the stages
// by searching the only choices a player has. Before each choice it
// snapshots the game, tries the candidates frame by frame with the very
// code the frame runs (look-ahead), puts the game back and schedules the
// best one as real input. Every input it gives is recorded as a line of a
// driver script, so the same run repeats through tidepool-driver.
//
// The choices: in the swing stage the frame of FIRE for each drop; in the
// crash stage the take-off frame of each launch and, for a launch with an
// aim charge, the frames of the two aim presses.
#pragma once

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "DriverSession.h"

namespace solver {

struct LevelOutcome {
    int level = 0;
    bool finished = false;
    int grade = 0;            // the saved grade afterwards: 2..4 one to three pearls, 5 the finale's
    int launchesBanked = 0;   // by the last swing stage played
    int attempts = 0;         // swing stages played
    std::int64_t statesTried = 0;  // look-ahead frames run
    double searchMs = 0;      // wall time of the look-ahead
    int frames = 0;           // real frames the level took
};

class Autopilot {
public:
    explicit Autopilot(driver::Session& session);

    // From wherever the game is (boot, menus, level select) to the level
    // select after `level` was finished; false when it gave up (frames
    // spent or the level failed too often). The hook runs once, the first
    // time the level select is reached (the level mode opens levels there).
    bool playLevel(int level, LevelOutcome& out, int frameBudget = 20000);
    // Confirms whatever a finished level leads to (rewards, the notices of
    // the last level) until the level select has stood still for `quiet`
    // frames; false when that took more than `frameBudget` frames.
    bool settleInLevelSelect(int quiet = 60, int frameBudget = 6000);
    void onLevelSelect(std::function<void()> hook) { levelSelectHook_ = std::move(hook); }
    // The world's generator is seeded with this at each swing stage's start.
    void setSeed(std::uint32_t seed) { seed_ = seed, seeded_ = true; }

    // A comment line in the script.
    void note(const std::string& text) { script_ << "# " << text << "\n"; }
    // The inputs given so far, as a driver script.
    std::string script() const { return script_.str(); }
    int frames() const;

private:
    struct Tap {
        int frame;  // the session frame it is delivered before
        std::string key;
        bool down;
    };
    void tap(const std::string& key, int inFrames = 0);
    bool realFrame();
    // Look-ahead frames with FIRE tapped at the given offsets; stops when
    // done() holds or after limit frames. The frames run.
    int lookAhead(const std::vector<int>& taps, int limit, const std::function<bool(int)>& done);
    void lookFrame(bool press, bool release);

    void navigate(int level);
    void swingChoice();
    void crashChoice();
    void aimChoice();

    driver::Session& session_;
    std::vector<Tap> taps_;
    std::ostringstream script_;
    std::function<void()> levelSelectHook_;
    bool levelSelectSeen_ = false;
    std::uint32_t seed_ = 0;
    bool seeded_ = false;
    int waitUntil_ = 0;  // no new choice before this session frame
    int lastStage_ = 0;
    int aimLaunch_ = -1;  // the launch whose aim was decided
    LevelOutcome* out_ = nullptr;
    int swingMisses_ = 0;
};

}  // namespace solver
