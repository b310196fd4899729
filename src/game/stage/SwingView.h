// A development application (-MIDletClass SwingView) that plays the swing
// stage of one level directly, as the game would after its loading screen:
// the level from TIDEPOOL_LEVEL (default 1), the player's unlock mask from
// TIDEPOOL_UNLOCKS (default 0) and, when set, the random seed from
// TIDEPOOL_SEED. FIRE swings the bat; Escape quits. Where the game would
// leave the stage the view says so on standard output and on the screen
// ("swing stage ended with N launches ...") and FIRE plays it again.
#pragma once

#include <string>

#include "game/GameMidlet.h"

namespace game::stage {

class SwingView final : public GameMidlet {
public:
    static constexpr const char* kClassName = "SwingView";
    static constexpr int kDefaultLevel = 1;

    static void registerClass();

    void resetFrameClock() override {}
    void onLifecycle(int event) override;
    void onKey(int key, int type) override;
    void onPointer(int, int, int) override {}
    void paintFrame(javax::microedition::lcdui::Graphics& g) override;
    void tick(int frameMs) override;

private:
    void open();
    void restart();
    void finish(const std::string& what);

    bool opened_ = false;
    int level_ = kDefaultLevel;
    int unlocks_ = 0;
    int setupStep_ = 0;
    bool running_ = false;
    bool ended_ = false;
    std::string caption_, outcome_;
};

}  // namespace game::stage
