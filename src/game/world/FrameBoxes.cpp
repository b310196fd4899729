#include "game/world/FrameBoxes.h"

#include "java/lang/Exceptions.h"

namespace game::world {

FrameBoxes::FrameBoxes(const SpriteSheet& s, int frame) {
    const auto& a = s.getCurrentAnimation();
    if (!a || a->size() < 6) return;
    int at = s.getFrameData();
    if (frame != kCurrentFrame) {
        if (frame < 0 || frame >= (*a)[4] || static_cast<std::size_t>(7 + 2 * frame) >= a->size()) return;
        at = (*a)[static_cast<std::size_t>(6 + 2 * frame)] & 0x7FFF;
    }
    if (at < 0 || static_cast<std::size_t>(at) >= a->size()) return;
    const int n = (*a)[static_cast<std::size_t>(at)];
    if (n <= 0 || static_cast<std::size_t>(at) + 1 + 5 * static_cast<std::size_t>(n) > a->size()) return;
    data_ = a.get();
    offset_ = at + 1;
    count_ = n;
}

FrameBoxes::Box FrameBoxes::at(int i) const {
    if (i < 0 || i >= count_) throw java::lang::ArrayIndexOutOfBoundsException("box " + std::to_string(i) + " of " + std::to_string(count_));
    const auto& d = *data_;
    const std::size_t p = static_cast<std::size_t>(offset_) + 5 * static_cast<std::size_t>(i);
    return {d[p], d[p + 1], d[p + 2], d[p + 3], d[p + 4]};
}

}  // namespace game::world
