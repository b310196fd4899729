// The crash stage's character against the world's objects, once per step:
// objects lose their footing when the cell under them empties, bumpers and
// targets bounce the character (targets break), switches raise barriers,
// and the finale's roaming target takes hits, travelling from waypoint to
// waypoint until it bursts after the last one.
#pragma once

namespace game::world {

class ObjectContacts {
public:
    // Unlock bit: a hard bounce leaves a trail.
    static constexpr int kUnlockTrail = 0x01;
    static constexpr int kTrailMs = 900;
    // Percent of the character's speed kept off the roaming target.
    static constexpr int kRoamingKeep = 75;

    static void updateObjects(int dt);
    // One hit on the roaming target; bounce when the character struck it
    // (rather than the target losing its footing).
    static void hitRoamingTarget(bool bounce);
};

}  // namespace game::world
