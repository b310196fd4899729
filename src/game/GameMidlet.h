// The game's application: lifecycle, the averaged frame clock and the frame
// loop that drives the game through its hooks. One frame: measure, tick,
// draw, sleep 5 ms, post itself again.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "java/lang/Runnable.h"
#include "javax/microedition/midlet/MIDlet.h"

namespace javax::microedition::lcdui {
class Display;
class Graphics;
}  // namespace javax::microedition::lcdui

namespace game {

class GameMidlet : public javax::microedition::midlet::MIDlet, public java::lang::Runnable {
public:
    static constexpr int LIFECYCLE_PAUSED = 0, LIFECYCLE_RESUMED = 1, LIFECYCLE_STARTED = 2, LIFECYCLE_EXITING = 3;
    static constexpr int KEY_PRESSED = 0, KEY_RELEASED = 1, KEY_REPEATED = 2, KEY_COMMAND = 3;
    static constexpr int POINTER_PRESS = 0, POINTER_RELEASE = 1, POINTER_MOVE = 2, POINTER_ALT_PRESS = 3,
                         POINTER_ALT_RELEASE = 4, POINTER_WHEEL_UP = 5, POINTER_WHEEL_DOWN = 6;
    // A frame longer than this counts as this much in the average.
    static constexpr int kFrameCapMs = 500;

    GameMidlet();
    ~GameMidlet() override;

    void destroyApp(bool unconditional) override;
    void pauseApp() override;
    void startApp() override;

    // Hooks the game implements.
    virtual void resetFrameClock() = 0;
    virtual void onLifecycle(int event) = 0;
    virtual void onKey(int key, int type) = 0;
    virtual void onPointer(int x, int y, int type) = 0;
    virtual void paintFrame(javax::microedition::lcdui::Graphics& g) = 0;
    virtual void tick(int frameMs) = 0;

    // One frame.
    void run() override;
    // Posts a frame of a paused game, so that it takes the events waiting
    // for it (any thread).
    void wake();

    static GameMidlet* instance();
    static void openUrl(const std::string& url);

    bool redrawRequested = false;

    // The averaged frame time the next tick would get (tests).
    int averagedFrameTime() const { return frameTimeSum_ >> 3; }
    bool isPaused() const { return paused_; }
    bool isDestroyed() const { return destroyed_; }

private:
    void postSelf();
    // True on the thread that runs the frames (and before the first one).
    bool onFrameThread() const;

    int frameIndex_ = 0;
    std::int64_t lastFrameTime_ = 0;
    std::array<int, 8> frameTimes_{};
    int frameTimeSum_ = 0;
    // Written on the frame thread; the event thread reads the flags to know
    // whether a paused game must be woken.
    std::atomic<bool> started_{false};
    bool initialized_ = false;
    std::atomic<bool> destroyed_{false};
    bool destroyUnconditional_ = false;
    std::atomic<bool> paused_{false};
    bool resumePending_ = false;
    bool exited_ = false;
    std::atomic<std::thread::id> frameThread_{};
    std::shared_ptr<javax::microedition::lcdui::Display> display_;
};

}  // namespace game
