// The hit boxes of one frame of a sprite, read from its decoded animation
// (per frame: the box count, then kind, x, y, width, height per box). A
// sprite without animation, or data too short for the count it states,
// has no boxes.
#pragma once

#include "game/SpriteSheet.h"

namespace game::world {

class FrameBoxes {
public:
    struct Box {
        int kind = 0, x = 0, y = 0, width = 0, height = 0;
    };

    static constexpr int kCurrentFrame = -1;

    // The boxes of frame `frame` of the sprite's current animation (by
    // default the frame it shows).
    explicit FrameBoxes(const SpriteSheet& s, int frame = kCurrentFrame);

    int count() const { return count_; }
    Box at(int i) const;

private:
    const std::vector<std::int16_t>* data_ = nullptr;
    int offset_ = 0;
    int count_ = 0;
};

}  // namespace game::world
