#include "game/GameClasses.h"

#include "game/Brindle.h"

namespace game {

void registerGameClasses() { Brindle::registerClass(); }

}  // namespace game
