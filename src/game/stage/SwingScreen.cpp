#include "game/stage/SwingScreen.h"

#include "game/audio/SoundPlayer.h"
#include "game/flow/LoadingScreen.h"
#include "game/flow/StateMachine.h"
#include "game/stage/SwingStage.h"

namespace game::stage {

using flow::LoadingScreen;
using flow::StateMachine;

void SwingScreen::followRequest() {
    switch (SwingStage::takeRequest()) {
        // The crash stage starts with GameWorld::State::launchesBanked
        // launches; launchSmash[i] and launchAims[i] are launch i's
        // power-ups. The swing stage leaves them as they are until its
        // next start.
        case SwingStage::TO_CRASH_STAGE: LoadingScreen::loadThen(flow::STATE_CRASH_STAGE); break;
        case SwingStage::TO_LEVEL_SELECT: LoadingScreen::loadThen(flow::STATE_LEVEL_SELECT); break;
        case SwingStage::LEVEL_END: StateMachine::levelEnd(0, SwingStage::bonusStars(), SwingStage::bonusScore()); break;
        case SwingStage::PAUSE_MENU: StateMachine::gotoMenu(4); break;
        default: break;
    }
}

flow::Screen SwingScreen::screen() {
    flow::Screen s;
    s.loadStep = [](int step) { return SwingStage::setupStep(step); };
    s.enter = [] {
        // Back from the pause menu (or its return screen) the stage goes on.
        const int from = StateMachine::state().previousState;
        SwingStage::enter(from == flow::STATE_MENU || from == flow::STATE_RETURN || from == flow::STATE_SWING_STAGE);
        SoundPlayer::playMusic(SoundPlayer::kSwingMusic);
        followRequest();
    };
    s.update = [](int) {
        if (const int dt = StateMachine::takeStep(); dt > 0) SwingStage::update(dt);
        followRequest();
    };
    s.paint = [](javax::microedition::lcdui::Graphics& g) { SwingStage::paint(g); };
    s.key = [](int key, int type) {
        SwingStage::key(key, type);
        followRequest();
    };
    return s;
}

}  // namespace game::stage
