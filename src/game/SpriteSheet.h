// SpriteSheet: the game's animated sprites and the pictures they draw.
//
// The packed-image side is a class-wide writer that turns a raw pixel entry
// into a complete PNG file in memory (stored deflate blocks, no
// compressor), its checksums, the palette table and the table of picture
// variants the sprites draw. The same writer is used by the content
// compiler, so the checksums it stores in raw entries are the ones the game
// copies.
//
// A sprite plays one of a list of decoded animations: flat arrays of
// shorts (see format/AnimationData.h) that are decoded once per resource id
// and shared by every sprite for the whole run.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "game/format/AnimationData.h"

namespace javax::microedition::lcdui {
class Graphics;
class Image;
}  // namespace javax::microedition::lcdui

namespace game {

class SpriteSheet {
public:
    using Image = javax::microedition::lcdui::Image;
    using Graphics = javax::microedition::lcdui::Graphics;
    // A decoded animation; null stands for "no animation".
    using Animation = std::shared_ptr<const std::vector<std::int16_t>>;

    // Class-wide state, grouped so that tests can start clean.
    struct Shared {
        std::mutex cacheMutex;
        std::map<std::int32_t, Animation> animationCache;
        // The picture table: three parallel lists that only grow.
        std::vector<std::shared_ptr<Image>> images;
        std::vector<std::int32_t> imageIds;
        std::vector<int> variantKeys;
        std::vector<std::vector<std::int32_t>> palettes;
        bool palettesLoaded = false;
        std::shared_ptr<Image> placeholderImage;
    };
    static Shared& shared();
    static void resetClassState();

    static constexpr std::int32_t kPaletteTable = 0x60042;

    // ---- animations (class-wide) ----

    // Null for id -1; decoded once per id and then served from the cache.
    // Malformed data raise ArrayIndexOutOfBoundsException; a frame without a
    // positive duration raises IllegalArgumentException (playback could
    // never leave it).
    static Animation loadAnimation(std::int32_t id);
    // The decoding itself: an entry, the id it is named by in errors, and
    // the picture slot of each (id, variant key, flip, scale).
    static Animation decodeAnimation(std::span<const std::uint8_t> entry, std::int32_t id,
                                     const format::AnimationData::SlotResolver& slotFor);
    static std::vector<Animation> loadAnimations(std::span<const std::int32_t> ids);
    static int indexOf(std::span<const std::int32_t> list, std::int32_t value);
    // The slot of the picture variant (id, selector, flip, scale) in the
    // picture table, built on first use.
    static int imageSlot(std::int32_t imageId, int selector, int flip, int scale);

    // ---- per sprite ----

    void create(Animation animation, bool forever);
    void init(std::vector<Animation> animations, bool forever);
    // Index beyond a non-empty list: ArrayIndexOutOfBoundsException.
    void setAnimation(int index, int loops, bool restartTime);
    void restart();
    // Frame beyond the animation: ArrayIndexOutOfBoundsException.
    void setFrame(int f);
    void update(int dt);
    void draw(Graphics& g, int x, int y) const;
    bool isDone() const;
    void release();

    int getAnimationIndex() const { return animation_; }
    int getFrame() const { return frame_; }
    int getAnimationCount() const { return static_cast<int>(animations_.size()); }
    void setFrameTime(int t) { frameTime_ = t; }
    int getFrameTime() const { return frameTime_; }
    int getFrameDuration() const { return current() ? frameDuration_ : 0; }
    int getLoopsLeft() const { return loopsLeft_; }
    // -1 without an animation.
    int getFrameData() const { return current() ? frameData_ : -1; }
    int getFirstFrameData() const;
    const Animation& getCurrentAnimation() const;
    int getRefX() const { return header(0); }
    int getRefY() const { return header(1); }
    int getExtentX() const { return header(2); }
    int getExtentY() const { return header(3); }

    // Owned by the game logic.
    int kind = 0, timer = 0, x = 0, y = 0, vx = 0, vy = 0;

    // Palette selectors above the indexed range.
    static constexpr int PALETTE_RGB = 254;
    static constexpr int PALETTE_RGBA = 255;
    // buildPng's format argument for palette-indexed pixels.
    static constexpr int FORMAT_INDEXED = -1;
    // Header sizes of raw entries: indexed ones carry the stored checksums.
    static constexpr int INDEXED_HEADER = 12;
    static constexpr int DIRECT_HEADER = 4;
    // Largest output picture buildPng writes (pixels); larger requests are
    // rejected before anything is allocated.
    static constexpr std::int64_t kMaxOutputPixels = std::int64_t{1} << 24;

    // ---- packed images ----

    // A complete PNG of entry's pixels. palette holds colours packed as
    // (r << 24) | (g << 16) | (b << 8) | 0xFF and is used only when format
    // is FORMAT_INDEXED; format 254 reads 3 bytes per pixel, 255 reads 4.
    // flip bit 0 mirrors left to right, bit 1 turns upside down; scale is
    // 1..8. Pixels are read from entry[headerSize..]. Throws
    // ArrayIndexOutOfBoundsException when the entry is too short and
    // IllegalArgumentException for a bad size, format, flip or scale.
    static std::vector<std::uint8_t> buildPng(std::span<const std::int32_t> palette,
                                              std::span<const std::uint8_t> entry, int width, int height,
                                              int format, int headerSize, int flip, int scale);

    // Width and height from the first four bytes of a raw entry (signed
    // 16-bit each). Throws ArrayIndexOutOfBoundsException below 4 bytes.
    static int rawWidth(std::span<const std::uint8_t> entry);
    static int rawHeight(std::span<const std::uint8_t> entry);

    // The 8 bytes an indexed raw entry stores at offsets 4..11: the
    // Adler-32 of the zlib data and the CRC-32 of the IDAT chunk that
    // buildPng writes at scale 1, unflipped. pixels are W x H indices.
    static std::vector<std::uint8_t> indexedChecksums(std::span<const std::uint8_t> pixels, int width,
                                                      int height);

    // A whole indexed raw entry (header with checksums, then pixels).
    static std::vector<std::uint8_t> makeIndexedEntry(std::span<const std::uint8_t> pixels, int width,
                                                      int height);
    // A whole direct-colour raw entry (4-byte header, then 3 or 4 bytes a
    // pixel).
    static std::vector<std::uint8_t> makeDirectEntry(std::span<const std::uint8_t> pixels, int width,
                                                     int height);

    // Standard CRC-32 as PNG defines it.
    static std::uint32_t crc32(std::span<const std::uint8_t> bytes);
    static std::uint32_t crc32(std::span<const std::uint8_t> buf, int offset, int length);
    static std::uint32_t adler32(std::span<const std::uint8_t> bytes);

    // One palette entry: n = length / 3 colours, packed as above; a
    // trailing incomplete group is dropped.
    static std::vector<std::int32_t> paletteFromEntry(std::span<const std::uint8_t> entry);
    // The palette table: a 4-byte count, then that many 4-byte resource
    // ids. Throws java::io::EOFException when the entry ends early.
    static std::vector<std::int32_t> paletteTableIds(std::span<const std::uint8_t> entry);
    static std::vector<std::uint8_t> makePaletteTable(std::span<const std::int32_t> ids);

    // ---- pictures from packs ----

    // Builds the placeholder picture and reads the palette table.
    static void initImages();
    // The picture of raw entry imageId with palette selector
    // variantKey & 0x7FF, flipped and magnified. A selector beyond the
    // palette table or pixels beyond the entry raise
    // ArrayIndexOutOfBoundsException; an undecodable result IOException.
    static std::shared_ptr<Image> loadImageVariant(std::int32_t imageId, int variantKey, int flip, int scale);
    // The picture a descriptor entry names; the placeholder for id -1. A
    // descriptor shorter than 6 bytes raises ArrayIndexOutOfBoundsException.
    static std::shared_ptr<Image> loadImageDescriptor(std::int32_t descriptorId, int flip, int scale);
    static std::shared_ptr<Image> placeholderImage();

private:
    bool current() const { return animation_ >= 0 && animation_ < getAnimationCount() && animations_[animation_]; }
    int header(int i) const { return current() ? (*animations_[animation_])[i] : 0; }
    void enterFrame(int f);

    std::vector<Animation> animations_;
    int animation_ = 0;
    int frame_ = 0;
    int frameData_ = 0;
    int frameDuration_ = 0;
    int frameTime_ = 0;
    int loops_ = 0;
    int loopsLeft_ = 0;
    bool restartTime_ = true;
};

}  // namespace game
