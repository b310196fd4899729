#include "game/GameMidlet.h"

#include <algorithm>
#include <atomic>

#include "game/MainCanvas.h"
#include "javax/microedition/lcdui/Display.h"
#include "platform/Clock.h"

namespace game {

namespace {
std::atomic<GameMidlet*> currentInstance{nullptr};
}

GameMidlet::GameMidlet() {
    currentInstance = this;
    MainCanvas::attach(this);
}

GameMidlet::~GameMidlet() {
    GameMidlet* self = this;
    currentInstance.compare_exchange_strong(self, nullptr);
}

GameMidlet* GameMidlet::instance() { return currentInstance.load(); }

void GameMidlet::openUrl(const std::string& url) {
    if (GameMidlet* m = instance()) m->platformRequest(url);
}

void GameMidlet::postSelf() {
    if (!display_) display_ = javax::microedition::lcdui::Display::getDisplay(this);
    // The runtime holds the call until it runs it; this object outlives it.
    display_->callSerially(std::shared_ptr<java::lang::Runnable>(shared_from_this(), this));
}

bool GameMidlet::onFrameThread() const {
    const std::thread::id frame = frameThread_.load();
    return frame == std::thread::id() || frame == std::this_thread::get_id();
}

void GameMidlet::wake() {
    if (started_ && paused_ && !destroyed_) postSelf();
}

void GameMidlet::startApp() {
    frameThread_ = std::this_thread::get_id();
    if (!started_) {
        MainCanvas::state().noPauseOnHide = false;
        MainCanvas::state().skipFirstShow = true;
        postSelf();
        started_ = true;
    } else if (paused_) {
        lastFrameTime_ = platform::Clock::current().nowMillis();
        resumePending_ = true;
        postSelf();
    }
}

void GameMidlet::pauseApp() {
    if (paused_) return;
    MainCanvas::pausePlayers();
    onLifecycle(LIFECYCLE_PAUSED);
    MainCanvas::releaseHeldKeys(0);
    paused_ = true;
}

void GameMidlet::destroyApp(bool unconditional) {
    // From the window's close on the event thread: the frame thread does it.
    if (!onFrameThread()) {
        MainCanvas::state().input.push({InputQueue::Kind::Destroy, 0, 0, unconditional});
        if (started_ && paused_) postSelf();
        return;
    }
    if (destroyed_ && destroyUnconditional_) return;
    MainCanvas::closePlayers();
    destroyUnconditional_ = unconditional;
    destroyed_ = true;
    if (unconditional) onLifecycle(LIFECYCLE_EXITING);
}

void GameMidlet::run() {
    // The frame is posted again even when it fails, so the next one runs.
    struct Repost {
        GameMidlet* self;
        ~Repost() {
            // A paused game runs again only to take events that arrived
            // while it decided to stop.
            if (!self->destroyed_ && (!self->paused_ || MainCanvas::inputWaiting())) self->postSelf();
        }
    };
    frameThread_ = std::this_thread::get_id();
    {
        Repost repost{this};
        if (!initialized_) {
            frameTimes_.fill(0);
            frameTimeSum_ = 0;
            resetFrameClock();
            MainCanvas::init();
            onLifecycle(LIFECYCLE_STARTED);
            initialized_ = true;
        }
        MainCanvas::deliverInput();
        if (resumePending_) {
            onLifecycle(LIFECYCLE_RESUMED);
            MainCanvas::releaseHeldKeys(1);
            paused_ = false;
            resumePending_ = false;
            MainCanvas::render();
        }
        if (!paused_ && !destroyed_) {
            const std::int64_t now = platform::Clock::current().nowMillis();
            const std::int64_t dt64 = now - lastFrameTime_;
            const int dt = static_cast<int>(std::clamp<std::int64_t>(dt64, INT32_MIN, INT32_MAX));
            lastFrameTime_ = now;
            frameTimeSum_ -= std::min(frameTimes_[frameIndex_], kFrameCapMs);
            frameTimeSum_ += std::min(dt, kFrameCapMs);
            frameTimes_[frameIndex_] = dt;
            frameIndex_ = (frameIndex_ + 1) & 7;
            tick(frameTimeSum_ >> 3);
            MainCanvas::releaseHeldKeys(2);
            MainCanvas::render();
        }
        platform::Clock::current().sleepMillis(5);
    }
    if (destroyed_ && !destroyUnconditional_ && !exited_) {
        exited_ = true;
        MainCanvas::closePlayers();
        onLifecycle(LIFECYCLE_EXITING);
        notifyDestroyed();
    }
}

}  // namespace game
