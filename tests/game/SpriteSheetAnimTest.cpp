// Sprites: decoding against packs written into a scratch directory,
// playback timing, drawing into a picture, and the picture variants and
// descriptors they rest on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "TarvokinEmu/Emulator.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "game/format/AnimationData.h"
#include "game/format/PackFile.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace game {
namespace {

using format::AnimationData;
using format::AnimElement;
using format::AnimFrame;
using format::PackFile;
using java::lang::ArrayIndexOutOfBoundsException;
using javax::microedition::lcdui::Image;

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kRed = static_cast<std::int32_t>(0xFF0000FFu);
constexpr std::int32_t kGreen = 0x00FF00FF;

// Pack r6 layout used by every test.
constexpr std::int32_t kPaletteA = 0x60000, kPaletteB = 0x60001, kTwoByOne = 0x60002, kDirect = 0x60003,
                       kDescriptor = 0x60004, kBadSelector = 0x60005, kShortDescriptor = 0x60006,
                       kTruncatedPixels = 0x60007, kFirstAnim = 0x60010;

AnimElement imagePiece(std::int32_t id, int palette, int dx, int dy, int flip = 0, int scale = 1) {
    AnimElement e;
    e.type = AnimElement::Image;
    e.imageId = id;
    e.palette = palette;
    e.dx = dx;
    e.dy = dy;
    e.flip = flip;
    e.scale = scale;
    return e;
}

AnimElement shape(int type, int rgb, std::array<int, 6> coords) {
    AnimElement e;
    e.type = type;
    e.setRgb(rgb);
    e.coords = coords;
    return e;
}

AnimFrame frame(std::vector<AnimElement> elements, int duration = 32767, int ref = -1) {
    AnimFrame f;
    f.ref = ref;
    f.duration = duration;
    if (ref == -1) f.elements = std::move(elements);
    return f;
}

format::Animation anim(std::vector<AnimFrame> frames, int refX = 0, int refY = 0) {
    format::Animation a;
    a.refX = refX;
    a.refY = refY;
    a.extentX = 7;
    a.extentY = 9;
    a.frames = std::move(frames);
    return a;
}

class Sprites : public ::testing::Test {
protected:
    void SetUp() override {
        TarvokinEmu::Emulator::resetClassState();
        MainCanvas::resetClassState();
        SpriteSheet::resetClassState();
        oldDir_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() / ("sprites-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        SpriteSheet::resetClassState();
        MainCanvas::resetClassState();
        TarvokinEmu::Emulator::resetClassState();
        std::filesystem::current_path(oldDir_);
        std::filesystem::remove_all(dir_);
    }

    // Writes r6: pictures, descriptors, the given animations from entry
    // 0x10 on, and the palette table at 0x42 naming entries 0 and 1.
    void writePacks(const std::vector<format::Animation>& anims, bool paletteTable = true) {
        std::vector<Bytes> r6(0x10);
        r6[0] = {0, 0, 0, 0xFF, 0, 0};                                     // black, red
        r6[1] = {0, 0, 0, 0, 0xFF, 0, 1};                                  // black, green, a stray byte
        r6[2] = SpriteSheet::makeIndexedEntry(Bytes{1, 0}, 2, 1);          // red, clear
        r6[3] = SpriteSheet::makeDirectEntry(Bytes{0, 0, 0xFF, 0, 0, 0xFF}, 2, 1);
        r6[4] = {0, 0x00, 0x06, 0x00, 0x02, 1, 0xAA};                     // 2x1 with palette 1
        r6[5] = {0, 0x00, 0x06, 0x00, 0x02, 7};                           // palette 7 of 2
        r6[6] = {0, 0x00, 0x06, 0x00};
        r6[7] = Bytes(r6[2].begin(), r6[2].end() - 1);
        for (const auto& a : anims) r6.push_back(AnimationData::encode(a));
        r6.resize(std::max<std::size_t>(r6.size(), 0x43));
        r6[0x42] = SpriteSheet::makePaletteTable(std::vector<std::int32_t>{kPaletteA, kPaletteB});
        write("r6", r6);
        if (paletteTable) SpriteSheet::initImages();
    }
    void writeRaw(std::int32_t id, const Bytes& entry) {
        std::vector<Bytes> entries(static_cast<std::size_t>(PackFile::entryOf(id)) + 1);
        entries.back() = entry;
        write(PackFile::dataPackName(PackFile::packOf(id)), entries);
    }
    static void write(const std::string& name, const std::vector<Bytes>& entries) {
        const auto bytes = PackFile::write(entries);
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        MainCanvas::dropPackCache();
    }

    // A fresh transparent canvas and the sprite drawn into it.
    std::vector<std::int32_t> drawn(const SpriteSheet& s, int x, int y, int w = 16, int h = 16) {
        auto img = Image::createImage(w, h, 0);
        auto g = img->getGraphics();
        g->setColor(0);
        g->fillRect(0, 0, w, h);
        s.draw(*g, x, y);
        std::vector<std::int32_t> px(static_cast<std::size_t>(w * h));
        img->getRGB(px, 0, w, 0, 0, w, h);
        for (auto& p : px) p &= 0xFFFFFF;
        return px;
    }
    static int at(const std::vector<std::int32_t>& px, int x, int y, int w = 16) { return px[static_cast<std::size_t>(y * w + x)]; }

    std::filesystem::path oldDir_, dir_;
};

std::int32_t pixel(const std::shared_ptr<Image>& img, int x, int y) {
    std::int32_t p[1];
    img->getRGB(p, 0, 1, x, y, 1, 1);
    return p[0];
}

TEST_F(Sprites, PicturesFromRawEntriesAndDescriptors) {
    writePacks({});
    const auto indexed = SpriteSheet::loadImageVariant(kTwoByOne, 0, 0, 1);
    ASSERT_EQ(indexed->getWidth(), 2);
    EXPECT_EQ(static_cast<std::uint32_t>(pixel(indexed, 0, 0)), 0xFFFF0000u);
    EXPECT_EQ(static_cast<std::uint32_t>(pixel(indexed, 1, 0)) >> 24, 0u);  // index 0 is clear
    // The key's palette bits choose the colours; flip and scale come apart.
    const auto mirrored = SpriteSheet::loadImageVariant(kTwoByOne, (3 << 11) | 1, 1, 3);
    ASSERT_EQ(mirrored->getWidth(), 6);
    EXPECT_EQ(static_cast<std::uint32_t>(pixel(mirrored, 5, 2)), 0xFF00FF00u);
    EXPECT_EQ(static_cast<std::uint32_t>(pixel(mirrored, 2, 0)) >> 24, 0u);
    const auto direct = SpriteSheet::loadImageVariant(kDirect, SpriteSheet::PALETTE_RGB, 0, 1);
    EXPECT_EQ(static_cast<std::uint32_t>(pixel(direct, 0, 0)), 0xFF0000FFu);
    // The descriptor names the raw entry and palette 1; bytes after 5 are ignored.
    const auto pointer = SpriteSheet::loadImageDescriptor(kDescriptor, 0, 1);
    EXPECT_EQ(static_cast<std::uint32_t>(pixel(pointer, 0, 0)), 0xFF00FF00u);
}

TEST_F(Sprites, BadSelectorsDescriptorsAndEntriesAreIndexErrors) {
    writePacks({});
    EXPECT_THROW(SpriteSheet::loadImageVariant(kTwoByOne, 2, 0, 1), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(SpriteSheet::loadImageVariant(kTwoByOne, 253, 0, 1), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(SpriteSheet::loadImageVariant(kTwoByOne, 0x300, 0, 1), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(SpriteSheet::loadImageDescriptor(kBadSelector, 0, 1), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(SpriteSheet::loadImageDescriptor(kShortDescriptor, 0, 1), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(SpriteSheet::loadImageVariant(kTruncatedPixels, 0, 0, 1), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(SpriteSheet::loadImageVariant(kDirect, SpriteSheet::PALETTE_RGBA, 0, 1),  // 6 bytes, 8 needed
                 ArrayIndexOutOfBoundsException);
    EXPECT_THROW(SpriteSheet::loadImageDescriptor(0x6FFF0, 0, 1), std::exception);  // beyond the pack
}

TEST_F(Sprites, PlaceholderNeedsNoResources) {
    const auto p = SpriteSheet::loadImageDescriptor(-1, 0, 1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->getWidth(), 1);
    EXPECT_EQ(p->getHeight(), 1);
    EXPECT_EQ(static_cast<std::uint32_t>(pixel(p, 0, 0)) >> 24, 0u);
    EXPECT_FALSE(std::filesystem::exists("r6"));
}

TEST_F(Sprites, PaletteTableEndingEarlyFailsTheBoot) {
    writePacks({}, false);
    writeRaw(0x60042, Bytes{0, 0, 0, 3, 0, 6, 0, 0});
    EXPECT_THROW(SpriteSheet::initImages(), java::io::EOFException);
}

TEST_F(Sprites, DecodingSharesArraysAndPictureSlots) {
    const auto piece = imagePiece(kTwoByOne, 0, 0, 0);
    writePacks({anim({frame({piece, imagePiece(kTwoByOne, 1, 2, 0)})}),
                anim({frame({piece, imagePiece(kTwoByOne, 0, 0, 0, 1, 1), imagePiece(kTwoByOne, 0, 0, 0, 0, 5)})})});
    const auto a = SpriteSheet::loadAnimation(kFirstAnim);
    EXPECT_EQ(SpriteSheet::loadAnimation(kFirstAnim), a);
    EXPECT_EQ(SpriteSheet::loadAnimation(-1), nullptr);
    const auto b = SpriteSheet::loadAnimation(kFirstAnim + 1);
    // Same variant, same slot; flip 1 and scale 5 are different pictures.
    const auto& s = SpriteSheet::shared();
    ASSERT_EQ(s.images.size(), 4u);
    EXPECT_EQ(s.images[2]->getWidth(), 2);
    EXPECT_EQ(s.images[3]->getWidth(), 10);
    const auto both = SpriteSheet::loadAnimations(std::vector<std::int32_t>{kFirstAnim, -1, kFirstAnim + 1});
    EXPECT_EQ(both, (std::vector<SpriteSheet::Animation>{a, nullptr, b}));
    EXPECT_EQ(SpriteSheet::indexOf(std::vector<std::int32_t>{4, 9, 9}, 9), 1);
    EXPECT_EQ(SpriteSheet::indexOf(std::vector<std::int32_t>{4}, 9), -1);
}

TEST_F(Sprites, MalformedAnimationsAreRefused) {
    writePacks({});
    // Timed, 1 frame with a zero duration; then one cut short.
    const Bytes zeroDuration = {0x40, 0x0A, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x00, 0x00, 0, 0};
    const Bytes cut = {0x80, 0x20, 0, 0};
    writeRaw(0x70000, zeroDuration);
    EXPECT_THROW(SpriteSheet::loadAnimation(0x70000), java::lang::IllegalArgumentException);
    writeRaw(0x70000, cut);
    EXPECT_THROW(SpriteSheet::loadAnimation(0x70000), ArrayIndexOutOfBoundsException);
}

TEST_F(Sprites, SpriteWithoutAnimation) {
    SpriteSheet s;
    s.create(nullptr, true);
    s.update(100);
    EXPECT_TRUE(s.isDone());
    EXPECT_EQ(s.getFrameData(), -1);
    EXPECT_EQ(s.getRefX() + s.getRefY() + s.getExtentX() + s.getExtentY(), 0);
    auto img = Image::createImage(4, 4);
    s.draw(*img->getGraphics(), 0, 0);  // nothing to draw, nothing thrown
}

// Playback: durations 10, 20, 30, 40 ms.
class Playback : public Sprites {
protected:
    void SetUp() override {
        Sprites::SetUp();
        writePacks({anim({frame({}, 10), frame({}, 20), frame({}, 30), frame({}, 40)}), anim({frame({})})});
        sprite.create(SpriteSheet::loadAnimation(kFirstAnim), true);
    }
    SpriteSheet sprite;
};

TEST_F(Playback, OvershootCarriesAcrossFramesUnlessTimeRestarts) {
    sprite.update(65);  // 10 + 20 + 30 spent, 5 into the fourth frame
    EXPECT_EQ(sprite.getFrame(), 3);
    EXPECT_EQ(sprite.getFrameTime(), 5);
    sprite.update(35);  // wraps when forever
    EXPECT_EQ(sprite.getFrame(), 0);
    EXPECT_FALSE(sprite.isDone());
    sprite.setAnimation(0, -1, true);
    sprite.update(65);
    EXPECT_EQ(sprite.getFrame(), 1);
    EXPECT_EQ(sprite.getFrameTime(), 0);
}

TEST_F(Playback, TwoLoopsEndOnTheLastFrame) {
    sprite.setAnimation(0, 2, false);
    const int steps[] = {10, 20, 30, 40, 10, 20, 30};
    for (int dt : steps) sprite.update(dt);
    EXPECT_EQ(sprite.getFrame(), 3);
    EXPECT_FALSE(sprite.isDone());
    sprite.update(40);
    EXPECT_EQ(sprite.getFrame(), 3);
    EXPECT_TRUE(sprite.isDone());
    sprite.update(1000);
    EXPECT_EQ(sprite.getFrame(), 3);
    sprite.setFrame(1);  // back in play with the full loop count
    EXPECT_FALSE(sprite.isDone());
    EXPECT_THROW(sprite.setFrame(4), ArrayIndexOutOfBoundsException);
    sprite.restart();
    EXPECT_EQ(sprite.getFrame(), 0);
    EXPECT_EQ(sprite.getLoopsLeft(), 1);
}

TEST_F(Playback, UntimedNeverAdvances) {
    sprite.init(SpriteSheet::loadAnimations(std::vector<std::int32_t>{kFirstAnim, kFirstAnim + 1}), false);
    sprite.setAnimation(1, 1, false);
    EXPECT_EQ(sprite.getFrameDuration(), 32767);
    sprite.update(32766);
    EXPECT_FALSE(sprite.isDone());
    sprite.update(1);
    EXPECT_TRUE(sprite.isDone());
    EXPECT_THROW(sprite.setAnimation(2, 1, false), ArrayIndexOutOfBoundsException);
    sprite.kind = sprite.vx = 3;
    sprite.release();
    EXPECT_EQ(sprite.kind + sprite.vx, 0);
    EXPECT_TRUE(sprite.isDone());
}

TEST_F(Sprites, DrawsEveryElementKindAtTheReferencePoint) {
    const int white = 0xFFFFFF, blue = 0x0000FF, yellow = 0xFFFF00, grey = 0x808080;
    writePacks({anim(
                    {frame({imagePiece(kTwoByOne, 0, 0, 0), shape(1, blue, {2, 1, 3, 2}), shape(5, grey, {0, 0, 1, 1, 2, 2}),
                            shape(2, white, {0, 4, 4, 3}), shape(6, grey, {0, 0, 9, 9}), shape(3, yellow, {6, 0, 6, 5})},
                           50),
                     frame({}, 70, 0)},
                    1, 1)});
    SpriteSheet s;
    s.create(SpriteSheet::loadAnimation(kFirstAnim), true);
    const auto px = drawn(s, 5, 5);  // reference (1, 1): origin at (4, 4)
    EXPECT_EQ(at(px, 4, 4), 0xFF0000);                                         // picture pixel 0
    EXPECT_EQ(at(px, 5, 4), 0);                                                // its clear pixel
    EXPECT_EQ(at(px, 6, 5), blue);
    EXPECT_EQ(at(px, 8, 6), blue);
    EXPECT_EQ(at(px, 9, 5), 0);
    EXPECT_EQ(at(px, 4, 8), white);                                            // outline corners
    EXPECT_EQ(at(px, 8, 11), white);
    EXPECT_EQ(at(px, 6, 10), 0);                                               // hollow inside
    EXPECT_EQ(at(px, 10, 4), yellow);
    EXPECT_EQ(at(px, 10, 9), yellow);
    // Frame 1 reuses frame 0's data but keeps its own duration.
    s.update(50);
    ASSERT_EQ(s.getFrame(), 1);
    EXPECT_EQ(s.getFrameDuration(), 70);
    EXPECT_EQ(s.getFrameData(), s.getFirstFrameData());
    EXPECT_EQ(drawn(s, 5, 5), px);
    EXPECT_EQ(s.getExtentX(), 7);
    EXPECT_EQ(s.getExtentY(), 9);
}

TEST_F(Sprites, EllipseRows) {
    struct Case {
        int rx, ry;
        std::vector<int> widths;  // filled run per row, top to bottom
    };
    const Case cases[] = {
        {3, 3, {1, 5, 5, 7, 5, 5, 1}},
        {1, 0, {3}},
        {0, 2, {1, 1, 1, 1, 1}},
        {4, 2, {3, 7, 9, 7, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rx) + "x" + std::to_string(c.ry));
        SpriteSheet::resetClassState();
        writePacks({anim({frame({shape(4, 0xFFFFFF, {8, 8, c.rx, c.ry})})})});
        SpriteSheet s;
        s.create(SpriteSheet::loadAnimation(kFirstAnim), true);
        const auto px = drawn(s, 0, 0);
        std::vector<int> widths;
        for (int y = 0; y < 16; ++y) {
            int run = 0, first = -1;
            for (int x = 0; x < 16; ++x) {
                if (at(px, x, y) != 0) {
                    if (first < 0) first = x;
                    ++run;
                }
            }
            if (run == 0) continue;
            widths.push_back(run);
            EXPECT_EQ(first + run / 2, 7) << "centred one left of cx";
        }
        EXPECT_EQ(widths, c.widths);
    }
    // Huge radii finish quickly and stay inside the clip.
    SpriteSheet::resetClassState();
    writePacks({anim({frame({shape(4, 0xFFFFFF, {8, 8, 30000, 30000})})})});
    SpriteSheet s;
    s.create(SpriteSheet::loadAnimation(kFirstAnim), true);
    EXPECT_EQ(at(drawn(s, 0, 0), 0, 0), 0xFFFFFF);
}

}  // namespace
}  // namespace game
