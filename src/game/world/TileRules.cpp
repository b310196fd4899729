#include "game/world/TileRules.h"

#include <array>
#include <cstdint>

namespace game::world {

namespace {

std::array<TileRules::Props, TileRules::kCodes> makeProps() {
    std::array<TileRules::Props, TileRules::kCodes> t{};
    auto set = [&](std::initializer_list<int> codes, int kind, int f, int r) {
        for (int c : codes) t[static_cast<std::size_t>(c)] = {kind, f, r};
    };
    auto range = [&](int from, int to, int kind, int f, int r) {
        for (int c = from; c <= to; ++c) t[static_cast<std::size_t>(c)] = {kind, f, r};
    };
    set({0}, 0, 13, 14);
    set({1, 2, 3, 4, 7, 8, 13, 14, 17, 18, 19, 20}, 1, 11, 12);
    set({5, 11}, 3, 11, 12);
    set({6, 12}, 4, 11, 12);
    set({9, 15}, 2, 11, 12);
    set({10, 16}, 5, 11, 12);
    set({21, 22, 23, 24, 29, 30, 31, 34, 37, 38, 46, 47, 54, 55, 66, 72, 73}, 1, 13, 14);
    set({25, 32}, 3, 21, 22);
    set({26, 33}, 4, 21, 22);
    set({27, 35}, 2, 21, 22);
    set({28, 36}, 5, 21, 22);
    set({39, 45}, 3, 17, 18);
    set({40, 48}, 4, 17, 18);
    range(41, 44, 1, 9, 10);
    range(49, 53, 0, 13, 14);
    range(56, 65, 0, 13, 14);
    range(67, 71, 0, 13, 14);
    set({74}, 3, 13, 14);
    set({75}, 4, 13, 14);
    return t;
}

const std::array<TileRules::Props, TileRules::kCodes> kProps = makeProps();

// (A1..A8) of the cross-product test per slope kind 2..5.
std::array<std::int64_t, 8> triangle(int kind, int lx, int ly, int w, int h) {
    switch (kind) {
        case 2: return {h, w, -1, w, -1, -2, ly, lx};
        case 3: return {h, -2, h, w, -1, w, ly, lx};
        case 4: return {h, -1, h, w + 1, -1, -1, ly, lx};
        default: return {h, -1, -1, w + 1, -1, -1, ly, lx};
    }
}

}  // namespace

TileRules::Props TileRules::props(int code) {
    if (code >= 0 && code < kCodes) return kProps[static_cast<std::size_t>(code)];
    return {1, 13, 14};
}

std::optional<TileRules::Breakable> TileRules::breakable(int code) {
    if (code == 1) return Breakable{67, false};
    if (code == 2) return Breakable{3, true};
    if (code == 3 || code == 4) return Breakable{0, false};
    if (code >= 5 && code <= 10) return Breakable{code + 6, true};
    if (code >= 11 && code <= 16) return Breakable{17, true};
    if (code >= 17 && code <= 20) return Breakable{0, false};
    return std::nullopt;
}

TileRules::Normal TileRules::slopeNormal(int kind) {
    switch (kind) {
        case 2: return {-160, 200};
        case 3: return {-160, -200};
        case 4: return {160, -200};
        case 5: return {160, 200};
        default: return {0, 0};
    }
}

bool TileRules::inTriangle(int kind, int lx, int ly, int w, int h) {
    if (!isSlopeKind(kind)) return false;
    const auto a = triangle(kind, lx, ly, w, h);
    const std::int64_t t = (a[6] - a[2]) * (a[1] - a[3]) - (a[7] - a[3]) * (a[0] - a[2]);
    const std::int64_t u = (a[6] + 1) * (a[3] - a[5]) - (a[7] - a[5]) * (a[2] + 1);
    const std::int64_t v = (a[6] - a[0]) * (a[5] - a[1]) - (a[7] - a[1]) * (-1 - a[0]);
    return u * t > 0 && t * v > 0;
}

bool TileRules::sideTest(int kind, int lx, int ly, int w, int h) {
    std::array<std::int64_t, 8> b{};
    switch (kind) {
        case 2: b = {0, h, lx, ly, 5, 0, w, h - 5}; break;
        case 3: b = {0, 0, lx, ly, w, 5, 5, h}; break;
        case 4: b = {w, 0, lx, ly, -5, 5, w - 5, h + 5}; break;
        case 5: b = {w, h, lx, ly, w - 5, 0, 0, h - 5}; break;
        default: return false;
    }
    const std::int64_t dx = b[6] - b[4], dy = b[7] - b[5];
    return (b[1] - b[5]) * dx * dx * (b[3] - b[5]) + (b[0] - b[4]) * dy * dy * (b[2] - b[4]) >= 0;
}

}  // namespace game::world
