#include "javax/microedition/lcdui/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TarvokinEmu/PngTestSupport.h"
#include "TarvokinEmu/Resources.h"
#include "TarvokinEmu/SharedState.h"
#include "java/io/InputStream.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/LcduiTestSupport.h"

namespace {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using png_test::Bytes;
using png_test::PngBuilder;
using Lines = std::vector<std::string>;
using Pixels = std::vector<std::int32_t>;

class ImageTest : public lcdui_test::TracedTest {};

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Pixels allPixels(const Image& image) {
    Pixels p(static_cast<std::size_t>(image.getWidth()) * image.getHeight());
    image.getRGB(p, 0, image.getWidth(), 0, 0, image.getWidth(), image.getHeight());
    return p;
}

// An 8 x 8 RGBA picture whose pixel (x, y) is 0x7F << 24 | y << 8 | x.
Bytes gradientPng() {
    Bytes raw;
    for (int y = 0; y < 8; ++y) {
        raw.push_back(0);
        for (int x = 0; x < 8; ++x) raw.insert(raw.end(), {0, std::uint8_t(y), std::uint8_t(x), 0x7F});
    }
    return PngBuilder().ihdr(8, 8, 8, 6).idat(png_test::zlib(raw)).iend().bytes();
}

TEST_F(ImageTest, DrawableImagesStartOpaqueWhiteWithTheirOwnContext) {
    auto image = Image::createImage(4, 4);
    // The font's own first-use line depends on what ran before; leave it out.
    Lines traced = lines();
    std::erase(traced, "[EMU class Opened: javax.microedition.lcdui.Font]");
    EXPECT_EQ(traced, (Lines{"[EMU class Opened: javax.microedition.lcdui.Image]", "[EMU createImage(4x4)]",
                             "[EMU class Opened: javax.microedition.lcdui.Graphics]"}));
    EXPECT_TRUE(image->isMutable());
    EXPECT_EQ(allPixels(*image), Pixels(16, static_cast<std::int32_t>(0xFFFFFFFF)));
    auto g = image->getGraphics();
    EXPECT_EQ(image->getGraphics(), g);  // the same context every time
    EXPECT_EQ(g->getColor(), 0xFFFFFF);
    EXPECT_EQ(g->getClipWidth(), 4);
    EXPECT_NE(image->pixelBuffer(), nullptr);

    // The alpha bits of the clearing colour are ignored.
    auto tinted = Image::createImage(2, 1, 0x00123456);
    EXPECT_EQ(allPixels(*tinted), Pixels(2, static_cast<std::int32_t>(0xFF123456)));
    EXPECT_EQ(tinted->getGraphics()->getColor(), 0x00123456);

    EXPECT_THROW(Image::createImage(-1, 4), java::lang::IllegalArgumentException);
    EXPECT_THROW(Image::createImage(1 << 14, 1 << 14), java::lang::IllegalArgumentException);
}

TEST_F(ImageTest, RgbImagesKeepOrForceAlpha) {
    const Pixels one = {0x00ABCDEF};
    auto forced = Image::createRGBImage(one, 1, 1, false);
    auto kept = Image::createRGBImage(one, 1, 1, true);
    EXPECT_EQ(allPixels(*forced), Pixels{static_cast<std::int32_t>(0xFFABCDEF)});
    EXPECT_EQ(allPixels(*kept), Pixels{0x00ABCDEF});
    EXPECT_FALSE(kept->isMutable());
    EXPECT_NE(kept->getGraphics(), nullptr);
    EXPECT_NE(kept->getGraphics(), TarvokinEmu::shared().screenGraphics);
    EXPECT_THROW(Image::createRGBImage(Pixels(5), 2, 3, true), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(Image::createRGBImage(Pixels(5), -2, 3, true), java::lang::IllegalArgumentException);

    // Drawing a translucent RGB image onto a drawable one blends it.
    auto canvas = Image::createImage(1, 1, 0x0000FF);
    canvas->getGraphics()->drawImage(Image::createRGBImage(Pixels{static_cast<std::int32_t>(0x80FF0000)}, 1, 1, true),
                                     0, 0, 0);
    EXPECT_EQ(allPixels(*canvas), Pixels{static_cast<std::int32_t>(0xFF80007F)});
}

TEST_F(ImageTest, DecodedImagesHaveAPictureAndDrawOnTheScreen) {
    auto screen = Image::createImage(3, 3);
    TarvokinEmu::shared().screenGraphics = screen->getGraphics();
    lines();
    const Bytes png = gradientPng();
    Bytes padded = {9, 9};
    padded.insert(padded.end(), png.begin(), png.end());
    auto image = Image::createImage(padded, 2, static_cast<int>(png.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(lines(), Lines{"[EMU Image.createImage(byte[], offset, length)]"});
    EXPECT_FALSE(image->isMutable());
    EXPECT_EQ(image->pixelBuffer(), nullptr);
    EXPECT_EQ(image->getWidth(), 8);
    EXPECT_EQ(image->getGraphics(), TarvokinEmu::shared().screenGraphics);

    // getRGB of the region at (2, 3), two rows with a scan length of 5.
    Pixels region(12, -1);
    image->getRGB(region, 1, 5, 2, 3, 3, 2);
    EXPECT_EQ(region, (Pixels{-1, 0x7F000302, 0x7F000303, 0x7F000304, -1, -1, 0x7F000402, 0x7F000403, 0x7F000404, -1,
                              -1, -1}));
    EXPECT_EQ(lines(), Lines{"[EMU Image.getRGB]"});
    EXPECT_THROW(image->getRGB(region, 0, 5, 6, 0, 3, 1), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(image->getRGB(region, 8, 5, 0, 0, 3, 2), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(image->getRGB(region, 0, -5, 0, 0, 3, 2), java::lang::ArrayIndexOutOfBoundsException);

    EXPECT_THROW(Image::createImage(png, 10, static_cast<int>(png.size())), java::lang::ArrayIndexOutOfBoundsException);
}

TEST_F(ImageTest, TheGeneralDecoderTakesWhatThePngDecoderRejects) {
    // Interlaced and 16-bit files are not ours; the platform decoder reads them.
    for (const char* file : {"/pngsuite/primary/basi6a08.png", "/pngsuite/16bit/basn2c16.png"}) {
        const Bytes bytes = readFile(std::string(TEST_DATA_DIR) + file);
        auto image = Image::createImage(bytes, 0, static_cast<int>(bytes.size()));
        ASSERT_NE(image, nullptr) << file;
        EXPECT_EQ(image->getWidth(), 32);
    }
    lines();
    // A bad signature that nothing decodes: null, after the signature line.
    Bytes junk = gradientPng();
    junk[0] = 0x88;
    EXPECT_EQ(Image::createImage(junk, 0, static_cast<int>(junk.size())), nullptr);
    const Lines out = lines();
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].rfind("Bad PNG signature: 0x-", 0), 0u);
    EXPECT_EQ(out[2], "[EMU --- Image is null!!!]");
}

TEST_F(ImageTest, StreamsAndResources) {
    const Bytes png = gradientPng();
    java::io::ByteArrayInputStream stream(png);
    auto image = Image::createImage(stream);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(stream.available(), 0);
    EXPECT_EQ(lines(), (Lines{"[EMU class Opened: javax.microedition.lcdui.Image]",
                              "[EMU Image.createImage(InputStream inputstream)]"}));

    const auto dir = std::filesystem::temp_directory_path() / "tidepool-image-test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "sprite.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
    TarvokinEmu::setResourceDir(dir.string());
    EXPECT_NE(Image::createImage(std::string("/sprite.png")), nullptr);
    EXPECT_EQ(lines(), Lines{"[EMU Image.createImage(/sprite.png)]"});
    // Without the leading slash a name is looked for in the runtime's own
    // package, where there are no pictures.
    EXPECT_THROW(Image::createImage(std::string("sprite.png")), java::io::IOException);
    EXPECT_THROW(Image::createImage(std::string("/missing.png")), java::io::IOException);
    std::filesystem::remove_all(dir);
}

TEST_F(ImageTest, CopiesAndTheUnsupportedFactory) {
    auto source = Image::createRGBImage(Pixels{1, 2, 3, 4, 5, 6}, 3, 2, true);
    lines();
    auto copy = Image::createImage(source);
    EXPECT_EQ(lines(), (Lines{"[EMU Image.createImage(Image)]", "[EMU Image.getRGB]", "[EMU Image.createRGBImage(3x2)]"}));
    EXPECT_EQ(allPixels(*copy), (Pixels{1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(copy->isMutable());
    EXPECT_EQ(Image::createImage(source, 0, 0, 1, 1, 0), nullptr);
    EXPECT_EQ(lines(), (Lines{"[EMU Image.getRGB]", "[EMU Image.createImage(Image,i,i,i,i,i) TBD!!!]",
                              "[EMU --- Image is null!!!]"}));
    EXPECT_THROW(Image::createImage(std::shared_ptr<Image>()), java::lang::NullPointerException);

    auto picture = std::make_shared<platform::Picture>();
    picture->width = 2;
    picture->height = 1;
    picture->pixels = {0xFF000001u, 0x7F000002u};
    auto fromPicture = Image::createImageFromPicture(picture);
    EXPECT_EQ(allPixels(*fromPicture), (Pixels{static_cast<std::int32_t>(0xFF000001), 0x7F000002}));
    EXPECT_NE(fromPicture->pixelBuffer(), nullptr);
    EXPECT_EQ(Image::createImageFromPicture(nullptr)->getWidth(), 0);
}

}  // namespace
