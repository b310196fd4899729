// The tile map's physical meaning: cell queries, a point's contact with a
// cell (which may break it), the swept move of a box through the map with
// the contact normal and surface it yields, and the bounce off that
// contact. Everything reads and writes GameWorld::state(); the contact
// state (normal, friction, restitution, allowed move, last tile, contact
// point, tileSmashed) is overwritten by every touchTile and sweep.
//
// Outside the map: above it is empty (the crash-stage character may fly
// there), past the other three edges is solid.
#pragma once

namespace game::world {

class TileCollision {
public:
    // Who moves: a probe breaks nothing; the crash-stage and swing-stage
    // characters break cells in their own ways.
    enum Mode : int { PROBE = 0, CRASH = 1, SWING = 2 };
    enum Result : int { FREE = 0, WALL = 1, SLOPE = 2, EDGE = 3 };
    // Friction and restitution of the map's edges.
    static constexpr int kEdgeSurface = 125;
    // Unlock bit: contacts smash the cell and its four neighbours.
    static constexpr int kUnlockSmashNeighbours = 0x08;

    // Code of a cell as an unsigned byte: 0 above the map, a wall code past
    // its other edges.
    static int tileAt(int col, int row);
    // Stores a code; outside the map nothing happens.
    static void setTile(int col, int row, int code);
    static bool isSolidAt(int x, int y);

    // Contact of the point (x, y) in map pixels: 0 none, 1 wall, 2 slope.
    static int touchTile(int x, int y, int mode);
    // Moves the box (x, y: top-left in 16.16; w, h pixels) by (dx, dy)
    // (16.16) one pixel step at a time and stops at the first contact:
    // FREE, WALL, SLOPE or EDGE. allowedMoveX/Y hold the last free offset.
    static int sweep(int x, int y, int w, int h, int dx, int dy, int mode);
    static void surfaceOf(int code);
    // Breaks a breakable cell outright (to its replacement).
    static void smashTile(int col, int row);

    // New velocity after bouncing off the last contact: the normal part
    // scaled by restitution, the tangential part by friction (1/256).
    static void bounce(int& velX, int& velY);
};

}  // namespace game::world
