#include "DriverProbe.h"

#include "game/Brindle.h"
#include "game/GameClasses.h"

namespace driver {

void registerGameClasses() { game::registerGameClasses(); }

std::optional<int> gameState() { return game::Brindle::currentState(); }

}  // namespace driver
