// Animation entries: the binary form in packs, its structured form (what
// the content compiler writes and the inspector prints) and the flat short
// array the game keeps in memory.
//
// Binary form, big-endian: u16 flags (bit 15 compact coordinates, bit 14
// timed frames, bits 0..13 the decoded array's length N); s8 frame count
// when timed; refX, refY, extentX, extentY; then per frame: s8 ref and s16
// duration when timed, and for frames with their own data (ref -1) u8
// element count, u8 box count, the boxes, the elements.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace game::format {

struct AnimBox {
    int kind = 0, x = 0, y = 0, width = 0, height = 0;
    bool operator==(const AnimBox&) const = default;
};

// Element types: 0 picture piece, 1 filled rectangle, 2 rectangle outline,
// 3 line, 4 filled ellipse; 5..7 carry data but draw nothing.
struct AnimElement {
    enum Type : int { Image = 0, FillRect = 1, Rect = 2, Line = 3, Ellipse = 4 };
    int type = Image;
    int flip = 0;   // bit 0 mirror left to right, bit 1 upside down
    int scale = 1;  // 1..8
    // Picture piece.
    std::int32_t imageId = -1;
    int palette = 0;  // selector byte
    int dx = 0, dy = 0;
    // Shapes: red as a signed byte and green-blue as 16 bits, as stored.
    int red = 0;
    int greenBlue = 0;
    // x, y, w, h (rectangles); x1, y1, x2, y2 (line); cx, cy, rx, ry
    // (ellipse); six values for type 5.
    std::array<int, 6> coords{};
    bool operator==(const AnimElement&) const = default;

    // 0xRRGGBB from the stored parts.
    int rgb() const { return ((red & 0xFF) << 16) | (greenBlue & 0xFFFF); }
    void setRgb(int rgb) {
        red = static_cast<std::int8_t>((rgb >> 16) & 0xFF);
        greenBlue = rgb & 0xFFFF;
    }
};

struct AnimFrame {
    int ref = -1;           // -1: own data; else an earlier frame's index
    int duration = 32767;   // ms
    std::vector<AnimBox> boxes;
    std::vector<AnimElement> elements;
    bool operator==(const AnimFrame&) const = default;
};

struct Animation {
    bool timed = true;
    bool compact = false;  // the coordinate width of the binary form
    int refX = 0, refY = 0, extentX = 0, extentY = 0;
    std::vector<AnimFrame> frames;
    bool operator==(const Animation&) const = default;
};

class AnimationData {
public:
    static constexpr int kMaxDecodedLength = 0x3FFF;

    // Length of the decoded short array for a (valid) animation.
    static int decodedLength(const Animation& a);
    // True when every value fits the compact widths (s8 positions, u8 sizes).
    static bool fitsCompact(const Animation& a);

    // The binary entry. Chooses the compact form when everything fits and
    // the untimed form for a single 32767 ms frame; a.compact and a.timed
    // are ignored. Throws IllegalArgumentException naming the frame and
    // element for data the format cannot hold (forward references, zero
    // durations, too many frames, values out of range, N above 0x3FFF).
    static std::vector<std::uint8_t> encode(const Animation& a);

    // The structured form of an entry. Throws
    // ArrayIndexOutOfBoundsException when the entry ends early or a frame
    // refers to itself or a later frame.
    static Animation parse(std::span<const std::uint8_t> entry);

    // The game's in-memory form: shorts 0..3 refX, refY, extentX, extentY;
    // 4 frame count; 5 zero; 6 + 2f frame f's data offset (bit 15 when it
    // reuses another frame's data), 7 + 2f its duration; then per own frame
    // B, B x 5 box values, E and the elements (picture piece: 0, dx, dy,
    // slot; types 1..4, 6, 7: type, red, green-blue, four coordinates;
    // type 5: type, red, green-blue, six coordinates). slotFor receives the
    // picture's id, its variant key (flip << 13 | (scale - 1) << 11 |
    // selector), flip and scale and returns the image slot. Throws
    // ArrayIndexOutOfBoundsException for a read past the entry, a write past
    // N, or a reference to a frame not yet decoded.
    using SlotResolver = std::function<int(std::int32_t imageId, int variantKey, int flip, int scale)>;
    static std::vector<std::int16_t> decode(std::span<const std::uint8_t> entry, const SlotResolver& slotFor);
};

}  // namespace game::format
