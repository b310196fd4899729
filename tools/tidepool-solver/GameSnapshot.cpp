#include "GameSnapshot.h"

#include "game/MainCanvas.h"

namespace solver {

using game::MainCanvas;

GameSnapshot GameSnapshot::capture() {
    GameSnapshot s;
    s.swing_ = game::stage::SwingStage::state();
    s.crash_ = game::stage::CrashStage::state();
    s.world_ = game::world::GameWorld::state();
    s.shared_ = game::Brindle::shared();
    s.popup_ = game::Popup::state();
    s.effects_ = game::ScreenEffects::state();
    s.sound_ = game::SoundPlayer::state();
    const MainCanvas::State& c = MainCanvas::state();
    s.heldKeys_ = c.heldKeys;
    s.heldTop_ = c.heldTop;
    s.leftCommand_ = c.leftCommand, s.leftPriority_ = c.leftPriority, s.leftLabel_ = c.leftLabel;
    s.rightCommand_ = c.rightCommand, s.rightPriority_ = c.rightPriority, s.rightLabel_ = c.rightLabel;
    s.published_ = game::Brindle::currentState();
    return s;
}

void GameSnapshot::restore() const {
    game::stage::SwingStage::state() = swing_;
    game::stage::CrashStage::state() = crash_;
    game::world::GameWorld::state() = world_;
    game::Brindle::shared() = shared_;
    game::Popup::state() = popup_;
    game::ScreenEffects::state() = effects_;
    game::SoundPlayer::state() = sound_;
    MainCanvas::State& c = MainCanvas::state();
    // Input a look-ahead left undelivered is dropped with it.
    (void)c.input.take();
    c.heldKeys = heldKeys_;
    c.heldTop = heldTop_;
    c.leftCommand = leftCommand_, c.leftPriority = leftPriority_, c.leftLabel = leftLabel_;
    c.rightCommand = rightCommand_, c.rightPriority = rightPriority_, c.rightLabel = rightLabel_;
    game::Brindle::publishState(published_);
}

}  // namespace solver
