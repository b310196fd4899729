// Everything a stage's frame can change, copied between two frames of the
// running game and put back: the stages, the world, the game's shared
// state, pop-up, effects, sound bookkeeping and the canvas's softkeys and
// held keys. The frame thread must be idle (the session holds it).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/Brindle.h"
#include "game/audio/SoundPlayer.h"
#include "game/stage/CrashStage.h"
#include "game/stage/SwingStage.h"
#include "game/ui/Popup.h"
#include "game/ui/ScreenEffects.h"
#include "game/world/GameWorld.h"

namespace solver {

class GameSnapshot {
public:
    static GameSnapshot capture();
    void restore() const;

private:
    game::stage::SwingStage::State swing_;
    game::stage::CrashStage::State crash_;
    game::world::GameWorld::State world_;
    game::Brindle::Shared shared_;
    game::Popup::State popup_;
    game::ScreenEffects::State effects_;
    game::SoundPlayer::State sound_;
    std::vector<int> heldKeys_;
    int heldTop_ = -1;
    int leftCommand_ = -1, leftPriority_ = 0, rightCommand_ = -1, rightPriority_ = 0;
    std::optional<std::string> leftLabel_, rightLabel_;
    int published_ = 0;
};

}  // namespace solver
