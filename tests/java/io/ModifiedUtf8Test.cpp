#include "java/io/ModifiedUtf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "java/io/DataReader.h"
#include "java/io/DataWriter.h"
#include "java/lang/Exceptions.h"

namespace {

using java::io::DataReader;
using java::io::DataWriter;
using java::io::ModifiedUtf8;
using Bytes = std::vector<std::uint8_t>;

std::string str(const Bytes& b) { return {b.begin(), b.end()}; }

TEST(ModifiedUtf8, CanonicalFormsBothWays) {
    struct Case {
        const char* what;
        Bytes internal;
        Bytes encoded;
    };
    const Case cases[] = {
        {"empty", {}, {}},
        {"ASCII", {'T', 'K', 0x7F}, {'T', 'K', 0x7F}},
        {"U+0000 takes two bytes", {0x00, 'a'}, {0xC0, 0x80, 'a'}},
        {"U+0080", {0xC2, 0x80}, {0xC2, 0x80}},
        {"U+07FF", {0xDF, 0xBF}, {0xDF, 0xBF}},
        {"U+0800", {0xE0, 0xA0, 0x80}, {0xE0, 0xA0, 0x80}},
        {"U+FFFF", {0xEF, 0xBF, 0xBF}, {0xEF, 0xBF, 0xBF}},
        {"U+1F600 as two surrogates", {0xF0, 0x9F, 0x98, 0x80}, {0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}},
        {"U+10FFFF", {0xF4, 0x8F, 0xBF, 0xBF}, {0xED, 0xAF, 0xBF, 0xED, 0xBF, 0xBF}},
        {"lone high surrogate", {0xED, 0xA0, 0x80, 'x'}, {0xED, 0xA0, 0x80, 'x'}},
        {"lone low surrogate", {0xED, 0xB0, 0x80}, {0xED, 0xB0, 0x80}},
        {"low then high stay apart", {0xED, 0xB0, 0x80, 0xED, 0xA0, 0x80}, {0xED, 0xB0, 0x80, 0xED, 0xA0, 0x80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ModifiedUtf8::encode(str(c.internal)), c.encoded);
        EXPECT_EQ(ModifiedUtf8::encodedLength(str(c.internal)), c.encoded.size());
        EXPECT_EQ(ModifiedUtf8::decode(c.encoded), str(c.internal));
    }
}

TEST(ModifiedUtf8, EveryUnitPairRoundTripsExactly) {
    // Pairs over the boundaries of every encoding length and of both
    // surrogate ranges catch pairing and range slips.
    const char16_t edges[] = {0x0000, 0x0001, 0x007F, 0x0080, 0x07FF, 0x0800, 0xD7FF, 0xD800,
                              0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFD, 0xFFFF};
    for (char16_t a : edges) {
        for (char16_t b : edges) {
            const std::u16string units{a, b};
            const std::string internal = ModifiedUtf8::fromUtf16(units);
            EXPECT_EQ(ModifiedUtf8::toUtf16(internal), units) << std::hex << int(a) << ' ' << int(b);
            const Bytes encoded = ModifiedUtf8::encode(internal);
            EXPECT_EQ(ModifiedUtf8::decode(encoded), internal) << std::hex << int(a) << ' ' << int(b);
        }
    }
    for (std::uint32_t u = 0; u <= 0xFFFF; ++u) {
        const std::string internal = ModifiedUtf8::fromUtf16(std::u16string(1, static_cast<char16_t>(u)));
        ASSERT_EQ(ModifiedUtf8::decode(ModifiedUtf8::encode(internal)), internal) << u;
    }
}

TEST(ModifiedUtf8, DecoderAcceptsWhatTheHandsetReaderAccepts) {
    EXPECT_EQ(ModifiedUtf8::decode(Bytes{0x00}), std::string(1, '\0'));
    EXPECT_EQ(ModifiedUtf8::decode(Bytes{0xC1, 0x81}), "A");        // overlong 2-byte
    EXPECT_EQ(ModifiedUtf8::decode(Bytes{0xE0, 0x81, 0x81}), "A");  // overlong 3-byte
}

TEST(ModifiedUtf8, MalformedBytesNameTheOffset) {
    struct Case {
        Bytes bytes;
        const char* message;
    };
    const Case cases[] = {
        {{0x80}, "bad lead byte at byte 0"},
        {{'a', 0xBF}, "bad lead byte at byte 1"},
        {{0xF0, 0x9F, 0x98, 0x80}, "bad lead byte at byte 0"},
        {{0xFF}, "bad lead byte at byte 0"},
        {{0xC3}, "2-byte sequence cut short at byte 0"},
        {{'a', 0xE0, 0x80}, "3-byte sequence cut short at byte 1"},
        {{0xC3, 'A'}, "bad continuation byte at byte 1"},
        {{'x', 0xE2, 0x82, 0x41}, "bad continuation byte at byte 3"},
    };
    for (const Case& c : cases) {
        try {
            ModifiedUtf8::decode(c.bytes);
            ADD_FAILURE() << "accepted " << c.message;
        } catch (const java::io::UTFDataFormatException& e) {
            EXPECT_EQ(e.getMessage(), c.message);
        }
    }
}

TEST(ModifiedUtf8, MalformedInternalTextIsRejected) {
    const Bytes cases[] = {
        {0xC0, 0x80},              // overlong U+0000
        {0xE0, 0x80, 0x80},        // overlong 3-byte
        {0xF0, 0x80, 0x80, 0x80},  // overlong 4-byte
        {0xF4, 0x90, 0x80, 0x80},  // above U+10FFFF
        {0xF8, 0x80, 0x80, 0x80, 0x80},
        {0x80},
        {'a', 0xC3},
        {0xE2, 0x82},
        {0xE2, 'a', 0x82},
    };
    for (const Bytes& b : cases) {
        EXPECT_THROW(ModifiedUtf8::encode(str(b)), java::lang::IllegalArgumentException);
        EXPECT_THROW(ModifiedUtf8::toUtf16(str(b)), java::lang::IllegalArgumentException);
    }
}

TEST(DataReader, ReadsBigEndianAndStopsAtTheEnd) {
    const Bytes bytes{0xFF, 0xFE, 0x80, 0x00, 0x00, 0x01, 0x00, 0x02, 'h', 'i', 0x00, 0x05, 'a'};
    DataReader in(bytes);
    EXPECT_EQ(in.readByte(), -1);
    EXPECT_EQ(in.readUnsignedByte(), 0xFE);
    EXPECT_EQ(in.readInt(), std::int32_t(0x80000001));
    EXPECT_EQ(in.readUTF(), "hi");
    // A string longer than what is left fails whole, and nothing is consumed.
    EXPECT_THROW(in.readUTF(), java::io::EOFException);
    EXPECT_EQ(in.position(), 10u);
    EXPECT_THROW(in.readInt(), java::io::EOFException);
    EXPECT_EQ(in.readShort(), 5);
    EXPECT_THROW(in.readFully(2), java::io::EOFException);
    EXPECT_EQ(in.readFully(1)[0], 'a');
    EXPECT_THROW(in.readUnsignedByte(), java::io::EOFException);
    EXPECT_EQ(in.remaining(), 0u);
}

TEST(DataWriter, WritesBigEndianAndRefusesOverlongStrings) {
    DataWriter out;
    out.writeShort(0xABCD);
    out.writeInt(-2);
    out.writeUTF(std::string(1, '\0'));
    EXPECT_EQ(out.bytes(), (Bytes{0xAB, 0xCD, 0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0x02, 0xC0, 0x80}));

    // 65535 bytes encoded fit; one more does not, and nothing is written.
    DataWriter edge;
    edge.writeUTF(std::string(65535, 'x'));
    EXPECT_EQ(edge.bytes().size(), 65537u);
    DataWriter over;
    EXPECT_THROW(over.writeUTF(std::string(65534, 'x') + "\xC3\xA9"), java::io::UTFDataFormatException);
    EXPECT_TRUE(over.bytes().empty());
}

}  // namespace
