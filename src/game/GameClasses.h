// Registers the game's application classes with the runtime.
#pragma once

namespace game {

void registerGameClasses();

}  // namespace game
