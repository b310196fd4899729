#include "game/stage/CrashScreen.h"

#include "game/Brindle.h"
#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/StateMachine.h"
#include "game/stage/CrashPainter.h"
#include "game/stage/CrashStage.h"
#include "game/world/GameWorld.h"

namespace game::stage {

using flow::StateMachine;
using world::GameWorld;

namespace {
constexpr int kPauseMenu = 4;

// Back from the pause menu (or the return screen) the world shows the
// level's theme again.
bool backFromMenu(int previous) {
    return previous == flow::STATE_MENU || previous == flow::STATE_RETURN || previous == flow::STATE_CRASH_STAGE;
}
}  // namespace

void CrashScreen::serveRequest() {
    const CrashStage::State& s = CrashStage::state();
    switch (CrashStage::takeRequest()) {
        case CrashStage::Request::LEVEL_END: StateMachine::levelEnd(s.requestResult, s.grade, s.score); break;
        case CrashStage::Request::RETRY: flow::LoadingScreen::loadThen(flow::STATE_SWING_STAGE); break;
        case CrashStage::Request::LEVEL_SELECT: flow::LoadingScreen::loadThen(flow::STATE_LEVEL_SELECT); break;
        case CrashStage::Request::PAUSE: StateMachine::gotoMenu(kPauseMenu); break;
        default: break;
    }
}

flow::Screen CrashScreen::screen() {
    flow::Screen screen;
    screen.prepareLoad = [] { GameWorld::clearEffects(); };
    screen.loadStep = [](int step) { return CrashStage::setupStep(step); };
    screen.enter = [] {
        auto& w = GameWorld::state();
        if (backFromMenu(StateMachine::state().previousState))
            GameWorld::setTheme(w.levelTable[static_cast<std::size_t>(CrashStage::state().level)][3]);
        CrashStage::resume();
        SoundPlayer::playMusic(SoundPlayer::kCrashMusic);
    };
    screen.update = [](int frameMs) {
        CrashStage::tick(frameMs);
        serveRequest();
    };
    screen.paint = [](CrashPainter::Graphics& g) { CrashPainter::paint(g); };
    screen.key = [](int key, int type) {
        CrashStage::onKey(type, key, type == GameMidlet::KEY_COMMAND ? 0 : MainCanvas::keyToDigit(key));
        serveRequest();
    };
    screen.pointer = [](int, int, int type) {
        CrashStage::onPointer(type);
        serveRequest();
    };
    return screen;
}

}  // namespace game::stage
