// What the driver needs from the game: its application classes and, once
// it runs, the number of its current top-level state.
#pragma once

#include <optional>

namespace driver {

void registerGameClasses();
std::optional<int> gameState();

}  // namespace driver
