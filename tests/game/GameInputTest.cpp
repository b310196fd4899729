// Input crossing from the event thread to the frame thread (also run under
// ThreadSanitizer).
#include <atomic>
#include <thread>

#include "GameTestSupport.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"

namespace {

using game::GameMidlet;
using game::MainCanvas;

// Records what reaches the game and on which thread.
class Recorder final : public GameMidlet {
public:
    void resetFrameClock() override {}
    void onLifecycle(int e) override { lifecycle.push_back(e); }
    void onKey(int key, int type) override {
        if (type == KEY_PRESSED) keys.push_back(key);
        if (std::this_thread::get_id() != frameThread) foreignCalls++;
    }
    void onPointer(int x, int, int type) override {
        if (type == POINTER_MOVE) lastMoveX = x;
        if (std::this_thread::get_id() != frameThread) foreignCalls++;
    }
    void paintFrame(javax::microedition::lcdui::Graphics&) override {}
    void tick(int) override { ++ticks; }

    std::thread::id frameThread;
    std::vector<int> keys, lifecycle;
    int lastMoveX = -1, ticks = 0, foreignCalls = 0;
};

class GameInput : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        platform::Clock::install(&clock_);
        game_ = std::make_shared<Recorder>();
        game_->frameThread = std::this_thread::get_id();
        game_->startApp();
        game_->run();
    }
    void TearDown() override {
        game_.reset();
        GameTest::TearDown();
    }
    // Runs the frame the runtime holds, as its supervisor would.
    bool runPostedFrame() {
        auto call = TarvokinEmu::shared().serialCall.exchange(nullptr);
        if (call) call->run();
        return call != nullptr;
    }
    platform::ManualClock clock_{false};
    std::shared_ptr<Recorder> game_;
};

TEST_F(GameInput, EventsFromAnotherThreadArriveInOrderOnTheFrameThread) {
    constexpr int kPresses = 2000;
    std::atomic<bool> done{false};
    std::thread events([&] {
        MainCanvas& canvas = *MainCanvas::instance();
        for (int i = 0; i < kPresses; ++i) {
            canvas.keyPressed(1000 + i);
            canvas.keyReleased(1000 + i);
            canvas.pointerDragged(i, 5);
            canvas.desktopMousePressed(i, 5, true);
            if (i % 100 == 0) std::this_thread::yield();
        }
        done = true;
    });
    // Presses beyond the queue's capacity may be dropped while frames lag;
    // what arrives keeps its order.
    while (!done || MainCanvas::inputWaiting()) runPostedFrame();
    events.join();
    EXPECT_EQ(game_->foreignCalls, 0);
    ASSERT_FALSE(game_->keys.empty());
    EXPECT_TRUE(std::is_sorted(game_->keys.begin(), game_->keys.end()));
    EXPECT_TRUE(MainCanvas::state().heldKeys.empty());  // every release got through
    MainCanvas::instance()->pointerDragged(12345, 0);
    runPostedFrame();
    EXPECT_EQ(game_->lastMoveX, 12345);
}

TEST_F(GameInput, HidingPausesAndShowingWakesTheGame) {
    MainCanvas& canvas = *MainCanvas::instance();
    std::thread([&] { canvas.hideNotify(); }).join();
    runPostedFrame();
    EXPECT_TRUE(game_->isPaused());
    EXPECT_FALSE(runPostedFrame());  // a paused game posts no frames
    const int ticks = game_->ticks;
    std::thread([&] {
        canvas.keyPressed(7);  // not for a paused game
        canvas.showNotify();   // the start's first show is skipped; this one resumes
    }).join();
    while (runPostedFrame() && game_->isPaused()) {
    }
    std::thread([&] { canvas.showNotify(); }).join();
    while (runPostedFrame() && game_->isPaused()) {
    }
    EXPECT_FALSE(game_->isPaused());
    EXPECT_GT(game_->ticks, ticks);
    EXPECT_EQ(game_->lifecycle, (std::vector<int>{GameMidlet::LIFECYCLE_STARTED, GameMidlet::LIFECYCLE_PAUSED,
                                                  GameMidlet::LIFECYCLE_RESUMED}));
    EXPECT_TRUE(game_->keys.empty());
    // Closing the window from the event thread leaves the exit to the frame thread.
    std::thread([&] { game_->destroyApp(true); }).join();
    EXPECT_FALSE(game_->isDestroyed());
    runPostedFrame();
    EXPECT_TRUE(game_->isDestroyed());
    EXPECT_EQ(game_->lifecycle.back(), GameMidlet::LIFECYCLE_EXITING);
}

}  // namespace
