// What tile codes mean physically: the property table (kind and the two
// level-parameter indices of its friction and restitution), the slopes'
// solid halves and normals, and the breakable chains.
//
// Kinds: 0 empty, 1 wall, 2..5 slopes cut along the cell diagonal (2 solid
// upper right, 3 lower right, 4 lower left, 5 upper left). The barrier
// code that switches place is a wall; any other code outside the table is
// treated as a wall too (the loader never leaves one in a map).
#pragma once

#include <optional>

namespace game::world {

class TileRules {
public:
    static constexpr int kCodes = 76;     // codes 0..75 have a row
    static constexpr int kBarrier = 157;  // set by switches
    static constexpr int kPadMarker = 127;
    static constexpr int kPadCorner = 66;
    static constexpr int kPadSlope = 37;
    static constexpr int kFirstFixedTile = 21;  // codes below are drawn by the breakable pass

    struct Props {
        int kind, frictionIndex, restitutionIndex;
    };
    struct Breakable {
        int replacement;
        bool bounce;
    };
    struct Normal {
        int x, y;
    };

    // True for the codes the maps may hold: 0..75 and the barrier.
    static bool isKnownCode(int code) { return (code >= 0 && code < kCodes) || code == kBarrier; }
    static Props props(int code);
    static int tileKind(int code) { return props(code).kind; }
    static bool isEmptyCode(int code) { return tileKind(code) == 0; }
    static bool isSlopeCode(int code) { return isSlopeKind(tileKind(code)); }
    static bool isSlopeKind(int kind) { return kind >= 2 && kind <= 5; }
    static std::optional<Breakable> breakable(int code);
    // The surface normal of a slope kind, in 1/256.
    static Normal slopeNormal(int kind);

    // (lx, ly) relative to the cell's top-left corner lies in the solid
    // half of a slope of this kind (w x h cell).
    static bool inTriangle(int kind, int lx, int ly, int w, int h);
    // A box centred at (lx, ly) relative to the slope's cell comes from the
    // slope's open side, so the slope's own normal applies.
    static bool sideTest(int kind, int lx, int ly, int w, int h);
};

}  // namespace game::world
