#include "TarvokinEmu/PNGReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "TarvokinEmu/PngTestSupport.h"
#include "java/lang/Exceptions.h"
#include "platform/Console.h"
#include "platform/ImageDecoder.h"

namespace {

using png_test::Bytes;
using png_test::PngBuilder;
using png_test::zlib;
using TarvokinEmu::ByteArray;
using TarvokinEmu::PNGReader;

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The message of the IOException the decoder raises, or nothing when it
// decodes.
std::optional<std::string> decodeError(const Bytes& bytes) {
    try {
        PNGReader::decode(bytes);
    } catch (const java::io::EOFException&) {
        return "EOF";
    } catch (const java::io::IOException& e) {
        return e.getMessage();
    }
    return std::nullopt;
}

// --- the public conformance suite ---------------------------------------------

// What the decoder must say about a suite file. Suite names spell the
// properties: "basn3p04" is interlace n(one), colour type 3, depth 4.
std::optional<std::string> expectedFailure(const std::string& name) {
    static const std::map<std::string, std::string> special = {
        {"tbrn2c08.png", "Transparency unsupported without a palette. Color type = 2"},
        {"xc1n0g08.png", "Invalid color type: 1"},
        {"xc9n2c08.png", "Invalid color type: 9"},
        {"xd0n2c08.png", "Unsupported bit depth: 0 (color type: 2)"},
        {"xd3n2c08.png", "Unsupported bit depth: 3 (color type: 2)"},
        {"xd9n2c08.png", "Unsupported bit depth: 99 (color type: 2)"},
        {"xcrn0g04.png", "Error reading PNG file"},  // line endings mangled
        {"xlfn0g04.png", "Error reading PNG file"},
        {"xs1n0g01.png", "Error reading PNG file"},
        {"xs2n0g01.png", "Error reading PNG file"},
        {"xs4n0g01.png", "Error reading PNG file"},
        {"xs7n0g01.png", "Error reading PNG file"},
    };
    if (auto it = special.find(name); it != special.end()) return it->second;
    if (name == "xhdn0g08.png") return std::nullopt;  // only its IHDR CRC is wrong
    const bool interlaced = name[3] == 'i';
    const int type = name[4] - '0';
    const int depth = std::stoi(name.substr(6, 2));
    if (interlaced) return "Unsupported interlace method: 1";
    if (!(depth == 8 || (depth == 4 && type == 3)))
        return "Unsupported bit depth: " + std::to_string(depth) + " (color type: " + std::to_string(type) + ")";
    return std::nullopt;
}

TEST(PNGReaderSuite, DecodesSupportedFilesExactlyAndRejectsTheRestWithTheirMessage) {
    std::ostringstream console;
    platform::Console::redirect(&console, nullptr);
    int decoded = 0, rejected = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TEST_DATA_DIR "/pngsuite")) {
        if (entry.path().extension() != ".png") continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const Bytes bytes = readFile(entry.path());
        const auto expected = expectedFailure(name);
        const auto actual = decodeError(bytes);
        EXPECT_EQ(actual, expected);
        if (expected || actual) {
            ++rejected;
            continue;
        }
        const platform::Picture ours = PNGReader::decode(bytes);
        const auto reference = platform::ImageDecoder::decode(bytes);
        ASSERT_TRUE(reference);
        ASSERT_EQ(ours.width, reference->width);
        ASSERT_EQ(ours.height, reference->height);
        EXPECT_TRUE(ours.pixels == reference->pixels);
        EXPECT_EQ(ours.opaque, reference->opaque);
        ++decoded;
    }
    platform::Console::redirect(nullptr, nullptr);
    EXPECT_GE(decoded, 60);
    EXPECT_GE(rejected, 100);
}

// --- hand-made files ------------------------------------------------------------

struct Case {
    const char* name;
    Bytes bytes;
    std::string error;  // "EOF" for the end-of-file error
};

Bytes imageData(int w, int h, int bytesPerPixel) {
    Bytes raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), static_cast<std::size_t>(w) * bytesPerPixel, static_cast<std::uint8_t>(y));
    }
    return raw;
}

TEST(PNGReader, MalformedFilesFailWithTheirMessage) {
    const Bytes rgb2x2 = zlib(imageData(2, 2, 3));
    Bytes truncatedZlib = rgb2x2;
    truncatedZlib.resize(truncatedZlib.size() / 2);
    Bytes badFilter = imageData(2, 2, 3);
    badFilter[7] = 5;  // second row's filter byte
    Bytes tenIndices = {0, 9};  // one row of a 1-pixel palette image, index 9
    Bytes cutInsideHeader = PngBuilder().ihdr(2, 2, 8, 2).bytes();
    cutInsideHeader.resize(20);

    const std::vector<Case> cases = {
        {"compression method", PngBuilder().ihdr(1, 1, 8, 2, 1).iend().bytes(), "Invalid compression method: 1"},
        {"filter method", PngBuilder().ihdr(1, 1, 8, 2, 0, 2).iend().bytes(), "Invalid filter method: 2"},
        {"interlace first", PngBuilder().ihdr(1, 1, 16, 9, 0, 0, 1).iend().bytes(), "Unsupported interlace method: 1"},
        {"16-bit RGBA", PngBuilder().ihdr(1, 1, 16, 6).iend().bytes(), "Unsupported bit depth: 16 (color type: 6)"},
        {"4-bit grey", PngBuilder().ihdr(1, 1, 4, 0).iend().bytes(), "Unsupported bit depth: 4 (color type: 0)"},
        {"signed depth byte", PngBuilder().ihdr(1, 1, 200, 2).iend().bytes(),
         "Unsupported bit depth: -56 (color type: 2)"},
        {"colour type 5", PngBuilder().ihdr(1, 1, 8, 5).iend().bytes(), "Invalid color type: 5"},
        {"width 0", PngBuilder().ihdr(0, 5, 8, 2).iend().bytes(), "Invalid image size: 0x5"},
        {"negative height", PngBuilder().ihdr(5, -1, 8, 2).iend().bytes(), "Invalid image size: 5x-1"},
        {"pixel count overflows", PngBuilder().ihdr(65536, 65536, 8, 6).iend().bytes(), "Image too large: 65536x65536"},
        {"too many pixels", PngBuilder().ihdr(16384, 1025, 8, 0).iend().bytes(), "Image too large: 16384x1025"},
        {"palette length", PngBuilder().ihdr(1, 1, 8, 3).chunk("PLTE", Bytes(7)).iend().bytes(),
         "Invalid palette length: 7"},
        {"tRNS in grey", PngBuilder().ihdr(1, 1, 8, 0).chunk("tRNS", {0, 0}).iend().bytes(),
         "Transparency unsupported without a palette. Color type = 0"},
        {"tRNS before PLTE", PngBuilder().ihdr(1, 1, 8, 3).chunk("tRNS", {0}).chunk("PLTE", Bytes(3)).iend().bytes(),
         "Transparency unsupported without a palette. Color type = 3"},
        {"tRNS longer than palette",
         PngBuilder().ihdr(1, 1, 8, 3).chunk("PLTE", Bytes(6)).chunk("tRNS", {1, 2, 3}).iend().bytes(),
         "Invalid transparency length: 3"},
        {"palette index beyond palette",
         PngBuilder().ihdr(1, 1, 8, 3).chunk("PLTE", Bytes(3)).idat(zlib(tenIndices)).iend().bytes(),
         "Invalid palette index: 9 (palette size: 1)"},
        {"palette image without PLTE", PngBuilder().ihdr(1, 1, 8, 3).idat(zlib({0, 0})).iend().bytes(),
         "Invalid palette index: 0 (palette size: 0)"},
        {"image data before IHDR", PngBuilder().idat(rgb2x2).ihdr(2, 2, 8, 2).iend().bytes(),
         "Image data before IHDR"},
        {"no IHDR at all", PngBuilder().iend().bytes(), "Missing IHDR"},
        // A second header would reset what the first one's palette said
        // about transparency.
        {"second IHDR after a transparent palette",
         PngBuilder().ihdr(1, 1, 8, 3).chunk("PLTE", Bytes(3)).chunk("tRNS", {0}).ihdr(1, 1, 8, 3)
             .idat(zlib({0, 0})).iend().bytes(),
         "Duplicate IHDR"},
        {"palette before IHDR",
         PngBuilder().chunk("PLTE", Bytes(3)).chunk("tRNS", {0}).ihdr(1, 1, 8, 3).idat(zlib({0, 0})).iend().bytes(),
         "PLTE before IHDR"},
        {"split IDAT",
         PngBuilder().ihdr(2, 2, 8, 2).idat(Bytes(rgb2x2.begin(), rgb2x2.begin() + 6))
             .idat(Bytes(rgb2x2.begin() + 6, rgb2x2.end())).iend().bytes(),
         "Invalid ZLIB data"},
        {"truncated zlib stream", PngBuilder().ihdr(2, 2, 8, 2).idat(truncatedZlib).iend().bytes(),
         "Invalid ZLIB data"},
        {"zlib stream too short for the image", PngBuilder().ihdr(2, 3, 8, 2).idat(rgb2x2).iend().bytes(),
         "Invalid ZLIB data"},
        {"not a zlib header", PngBuilder().ihdr(2, 2, 8, 2).idat({0x78, 0x00, 1, 2, 3}).iend().bytes(),
         "Invalid ZLIB data"},
        {"empty IDAT", PngBuilder().ihdr(2, 2, 8, 2).idat({}).iend().bytes(), "Invalid ZLIB data"},
        {"illegal filter type", PngBuilder().ihdr(2, 2, 8, 2).idat(zlib(badFilter)).iend().bytes(),
         "Illegal filter type: 5"},
        {"negative chunk length", PngBuilder().ihdr(1, 1, 8, 2).raw({0xFF, 0xFF, 0xFF, 0xF8, 'a', 'b', 'c', 'd'}).bytes(),
         "Invalid chunk length: -8"},
        {"chunk longer than the file", PngBuilder().ihdr(1, 1, 8, 2).raw({0, 0, 1, 0, 'a', 'b', 'c', 'd', 1}).bytes(),
         "EOF"},
        {"no IEND", PngBuilder().ihdr(2, 2, 8, 2).idat(rgb2x2).bytes(), "EOF"},
        {"cut inside IHDR", cutInsideHeader, "EOF"},
        {"shorter than a signature", {0x89, 'P', 'N'}, "EOF"},
    };
    std::ostringstream console;
    platform::Console::redirect(&console, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodeError(c.bytes), c.error);
    }
    platform::Console::redirect(nullptr, nullptr);
}

TEST(PNGReader, BadSignaturePrintsTheValueInSignedHexadecimal) {
    struct Sig {
        Bytes bytes;
        std::string line;
    };
    const std::vector<Sig> sigs = {
        {{0x09, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, "Bad PNG signature: 0x9504e470d0a1a0a\n"},
        {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x00}, "Bad PNG signature: 0x-76afb1b8f2f5e600\n"},
        {{0x80, 0, 0, 0, 0, 0, 0, 0}, "Bad PNG signature: 0x-8000000000000000\n"},
    };
    for (const Sig& s : sigs) {
        std::ostringstream console;
        platform::Console::redirect(&console, nullptr);
        EXPECT_EQ(decodeError(s.bytes), "Error reading PNG file");
        platform::Console::redirect(nullptr, nullptr);
        EXPECT_EQ(console.str(), s.line);
    }
}

TEST(PNGReader, FourBitPaletteWithPartialTransparency) {
    // 3 pixels wide: two bytes per row, the last low nibble ignored.
    Bytes palette;
    for (int i = 0; i < 4; ++i) palette.insert(palette.end(), {std::uint8_t(i * 10), std::uint8_t(i * 20), std::uint8_t(i * 30)});
    const Bytes raw = {0, 0x01, 0x2F, 0, 0x32, 0x1F};
    const Bytes file =
        PngBuilder().ihdr(3, 2, 4, 3).chunk("PLTE", palette).chunk("tRNS", {0x00, 0x80}).idat(zlib(raw)).iend().bytes();
    const platform::Picture p = PNGReader::decode(file);
    ASSERT_EQ(p.width, 3);
    ASSERT_EQ(p.height, 2);
    const std::vector<std::uint32_t> expected = {0x00000000, 0x800A141E, 0xFF14283C,
                                                 0xFF1E3C5A, 0xFF14283C, 0x800A141E};
    EXPECT_EQ(p.pixels, expected);
    EXPECT_FALSE(p.opaque);

    // tRNS entries of 255 keep the picture opaque.
    const Bytes opaqueTrns =
        PngBuilder().ihdr(3, 2, 4, 3).chunk("PLTE", palette).chunk("tRNS", {255}).idat(zlib(raw)).iend().bytes();
    EXPECT_TRUE(PNGReader::decode(opaqueTrns).opaque);
}

TEST(PNGReader, IgnoresCrcsChecksumsAndUnknownChunks) {
    Bytes raw = {0, 1, 2, 3, 4};
    Bytes data = zlib(raw);
    data[data.size() - 1] ^= 0xFF;                 // wrong Adler-32
    data.insert(data.end(), {0xDE, 0xAD, 0xBE, 0xEF});  // and junk after the stream
    const Bytes file = PngBuilder()
                           .chunk("IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 6, 0, 0, 0}, false)
                           .chunk("tEXt", {'a', 0, 'b'})
                           .chunk("gAMA", {0, 0, 0xB1, 0x8F})
                           .idat(data)
                           .chunk("zzZz", Bytes(100, 7))
                           .iend()
                           .bytes();
    const platform::Picture p = PNGReader::decode(file);
    EXPECT_EQ(p.pixels, std::vector<std::uint32_t>{0x04010203u});
    EXPECT_FALSE(p.opaque);
}

TEST(PNGReader, WithoutImageDataThePictureIsClearAndNotOpaque) {
    const platform::Picture p = PNGReader::decode(PngBuilder().ihdr(2, 1, 8, 2).iend().bytes());
    EXPECT_EQ(p.pixels, (std::vector<std::uint32_t>{0, 0}));
    EXPECT_FALSE(p.opaque);
}

// Every filter type on every pixel size, over images tall enough to span
// several inflate strips, against the straightforward conversion.
TEST(PNGReader, UnfiltersEveryFilterTypeExactly) {
    struct Format {
        int type, depth, bpp;
    };
    const Format formats[] = {{0, 8, 1}, {2, 8, 3}, {3, 8, 1}, {3, 4, 1}, {4, 8, 2}, {6, 8, 4}};
    std::mt19937 rng(7);
    for (const Format f : formats) {
        for (const int width : {1, 5, 131}) {
            SCOPED_TRACE("type " + std::to_string(f.type) + " depth " + std::to_string(f.depth) + " width " +
                         std::to_string(width));
            const int height = 700;
            const std::size_t rowBytes = (static_cast<std::size_t>(width) * f.depth * (f.bpp) + 7) / 8;
            Bytes rows(rowBytes * height);
            // Smooth data makes Paeth and Average pick every branch.
            for (std::size_t i = 0; i < rows.size(); ++i)
                rows[i] = static_cast<std::uint8_t>(rng() % 3 == 0 ? rng() : i / 7);
            std::vector<int> filters;
            for (int y = 0; y < height; ++y) filters.push_back(y < 10 ? y % 5 : static_cast<int>(rng() % 5));
            Bytes palette;
            for (int i = 0; i < 256; ++i)
                palette.insert(palette.end(), {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7)});
            PngBuilder b;
            b.ihdr(width, height, f.depth, f.type);
            if (f.type == 3) b.chunk("PLTE", palette);
            const platform::Picture p =
                PNGReader::decode(b.idat(zlib(png_test::filterRows(rows, rowBytes, f.bpp, filters))).iend().bytes());
            ASSERT_EQ(p.pixels.size(), static_cast<std::size_t>(width) * height);
            bool same = true;
            for (int y = 0; y < height && same; ++y) {
                const std::uint8_t* r = rows.data() + y * rowBytes;
                for (int x = 0; x < width && same; ++x) {
                    std::uint32_t want = 0;
                    switch (f.type) {
                    case 0: want = 0xFF000000u | r[x] * 0x010101u; break;
                    case 2: want = 0xFF000000u | r[3 * x] << 16 | r[3 * x + 1] << 8 | r[3 * x + 2]; break;
                    case 3: {
                        const int i = f.depth == 8 ? r[x] : (x % 2 ? r[x / 2] & 15 : r[x / 2] >> 4);
                        want = 0xFF000000u | palette[3 * i] << 16 | palette[3 * i + 1] << 8 | palette[3 * i + 2];
                        break;
                    }
                    case 4: want = std::uint32_t(r[2 * x + 1]) << 24 | r[2 * x] * 0x010101u; break;
                    default:
                        want = std::uint32_t(r[4 * x + 3]) << 24 | r[4 * x] << 16 | r[4 * x + 1] << 8 | r[4 * x + 2];
                    }
                    same = p.pixels[y * width + x] == want;
                    if (!same) ADD_FAILURE() << "first difference at " << x << "," << y;
                }
            }
        }
    }
}

TEST(PNGReader, PaethMatchesThePredictorDefinitionForAllInputs) {
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            for (int c = 0; c < 256; ++c)
                if (PNGReader::paeth(a, b, c) != png_test::paethReference(a, b, c))
                    FAIL() << a << " " << b << " " << c;
}

// Rows are inflated in strips; a zlib fault is reported only after every
// row inflated before it was unfiltered, as row-by-row inflation would.
TEST(PNGReader, FaultOrderIsThatOfRowByRowInflation) {
    const int width = 64, height = 600;  // several strips
    Bytes raw = imageData(width, height, 4);
    const std::size_t stride = width * 4 + 1;
    raw[500 * stride] = 9;  // illegal filter on row 500
    const Bytes full = zlib(raw);
    for (const std::size_t cut : {full.size() / 4, full.size() - 8}) {
        Bytes data(full.begin(), full.begin() + cut);
        // How many rows this prefix inflates tells which fault comes first.
        Bytes out(raw.size());
        platform::ZlibInflater inflater(data);
        const std::size_t rowsOut = inflater.fill(out) / stride;
        const std::string expected = rowsOut > 500 ? "Illegal filter type: 9" : "Invalid ZLIB data";
        SCOPED_TRACE(cut);
        EXPECT_EQ(decodeError(PngBuilder().ihdr(width, height, 8, 6).idat(data).iend().bytes()), expected);
    }
}

TEST(ByteArray, ReadsInBothOrdersAndRaisesEofAtTheEnd) {
    ByteArray in(Bytes{0x80, 1, 2, 3, 4, 5, 6, 7, 8});
    in.reset();
    EXPECT_EQ(in.readByte(), -128);
    EXPECT_EQ(in.readInt(), 0x01020304);
    in.setByteOrder(ByteArray::LittleEndian);
    EXPECT_EQ(in.readInt(), 0x08070605);
    EXPECT_THROW(in.readByte(), java::io::EOFException);
    in.setPosition(1);
    EXPECT_EQ(in.readLong(), 0x0102030405060708);  // always big-endian
    EXPECT_THROW(in.setPosition(10), java::io::EOFException);
    EXPECT_THROW(in.setPosition(-1), java::io::EOFException);
    in.setPosition(6);
    EXPECT_THROW(in.readInt(), java::io::EOFException);
    EXPECT_EQ(in.getPosition(), 6);  // a failed read moves nothing
    in.reset();
    EXPECT_EQ(in.getByteOrder(), ByteArray::BigEndian);
    EXPECT_EQ(in.getPosition(), 0);
}

}  // namespace
