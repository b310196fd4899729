// A development application (-MIDletClass LevelView) that shows one map of
// the level file as the stages draw it: the map named by TIDEPOOL_MAP in the
// environment (default 45), with the padding, theme and layers of the stage
// that plays it. The arrow keys pan the camera; FIRE drops a probe ball
// that falls, bounces off tiles and slopes, breaks blocks and meets the
// objects as the crash-stage character does; Escape quits.
#pragma once

#include <atomic>
#include <string>

#include "game/GameMidlet.h"

namespace game {

class LevelView final : public GameMidlet {
public:
    static constexpr const char* kClassName = "LevelView";
    static constexpr int kDefaultMap = 45;
    static constexpr int kPanPerSecond = 600;  // pixels
    static constexpr int kProbeLifeMs = 8000;

    static void registerClass();

    void resetFrameClock() override {}
    void onLifecycle(int event) override;
    void onKey(int key, int type) override;
    void onPointer(int, int, int) override {}
    void paintFrame(javax::microedition::lcdui::Graphics& g) override;
    void tick(int frameMs) override;

private:
    void open();
    void stepProbe(int dt);
    void dropProbe();

    bool opened_ = false;
    int map_ = kDefaultMap;
    std::string caption_, error_;
    int targetX_ = 0, targetY_ = 0;
    bool probeLive_ = false;
    int probeAge_ = 0;
    // Set by the event thread, read by the frame thread.
    std::atomic<int> heldDirections_{0};
    std::atomic<bool> dropRequested_{false};
};

}  // namespace game
