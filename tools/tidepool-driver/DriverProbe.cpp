#include "DriverProbe.h"

#include "game/Brindle.h"
#include "game/GameClasses.h"
#include "game/flow/GameStates.h"
#include "game/stage/SwingStage.h"

namespace driver {

void registerGameClasses() { game::registerGameClasses(); }

std::optional<int> gameState() { return game::Brindle::currentState(); }

std::string handOver(int from) {
    if (from == game::flow::STATE_SWING_STAGE) return "swing stage left with " + game::stage::SwingStage::bankedLaunches();
    return "";
}

}  // namespace driver
