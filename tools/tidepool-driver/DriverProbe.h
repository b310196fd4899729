// What the driver needs from the game: its application classes and, once
// it runs, the number of its current top-level state and what a state
// hands to the next.
#pragma once

#include <optional>
#include <string>

namespace driver {

void registerGameClasses();
std::optional<int> gameState();
// A line about what leaving state `from` hands on (the swing stage: the
// launches banked for the crash stage); empty when nothing.
std::string handOver(int from);

}  // namespace driver
