#include "javax/microedition/rms/RecordStoreFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "java/lang/Exceptions.h"
#include "javax/microedition/rms/RmsTestSupport.h"

namespace {

using javax::microedition::rms::RecordStoreFile;
using rms_test::Bytes;
using rms_test::FileBuilder;
using Store = RecordStoreFile::Store;

// A store with the given number of records of assorted lengths.
Store makeStore(std::string name, int count) {
    Store s{std::move(name), {}};
    for (int id = 1; id <= count; ++id) {
        Bytes data(static_cast<std::size_t>((id * 7) % 23));
        for (std::size_t k = 0; k < data.size(); ++k) data[k] = static_cast<std::uint8_t>(id + k);
        s.records.push_back(data);
    }
    return s;
}

TEST(RecordStoreFile, EmptyTableIsTwentyFourBytes) {
    const Bytes expected{0x00, 0x08, 'T', 'K', 'E', 'M', 'U', 'R', 'M', 'S', 0, 0, 0, 0,
                         0,    0,    0,   0,   0x00, 0x04, 'F', 'I', 'N', '!'};
    EXPECT_EQ(RecordStoreFile::serialize(std::vector<Store>{}), expected);
    EXPECT_TRUE(RecordStoreFile::parse(expected).empty());
}

TEST(RecordStoreFile, SettingsAndGameStoreAreByteExact) {
    const std::vector<Store> stores{{"emu_settings", {{0x01}}}, {"g", {{0xDE, 0xAD, 0xBE}, {}}}};
    const Bytes expected = FileBuilder()
                               .header(2)
                               .ascii("emu_settings").u8(1).record({0x01})
                               .ascii("g").u8(2).record({0xDE, 0xAD, 0xBE}).record({})
                               .trailer()
                               .bytes();
    EXPECT_EQ(RecordStoreFile::serialize(stores), expected);
    EXPECT_EQ(RecordStoreFile::parse(expected), stores);
}

TEST(RecordStoreFile, NamesOutsideAsciiAreModifiedUtf8) {
    // "a", U+0000, U+00E9, U+1F600, a lone low surrogate.
    const std::string name = std::string("a\0\xC3\xA9\xF0\x9F\x98\x80\xED\xB0\x80", 11);
    const Bytes nameField{0x00, 0x0E, 'a',  0xC0, 0x80, 0xC3, 0xA9, 0xED,
                          0xA0, 0xBD, 0xED, 0xB8, 0x80, 0xED, 0xB0, 0x80};
    const Bytes expected = FileBuilder().header(1).raw(nameField).u8(0).trailer().bytes();
    const std::vector<Store> stores{{name, {}}};
    EXPECT_EQ(RecordStoreFile::serialize(stores), expected);
    EXPECT_EQ(RecordStoreFile::parse(expected), stores);
}

TEST(RecordStoreFile, FullTablesRoundTripUnchanged) {
    // 128 stores, with counts across the signed-byte boundary up to 254.
    std::vector<Store> stores;
    for (int i = 0; i < RecordStoreFile::kMaxStores; ++i) {
        const int counts[] = {0, 1, 127, 128, 200, 254};
        stores.push_back(makeStore("s" + std::to_string(i), counts[i % 6]));
    }
    const Bytes image = RecordStoreFile::serialize(stores);
    EXPECT_EQ(RecordStoreFile::parse(image), stores);
    EXPECT_EQ(RecordStoreFile::serialize(RecordStoreFile::parse(image)), image);
}

TEST(RecordStoreFile, CountByteIsUnsigned) {
    FileBuilder b;
    b.header(1).ascii("big").u8(200);
    for (int id = 1; id <= 200; ++id) b.record({static_cast<std::uint8_t>(id)});
    const auto stores = RecordStoreFile::parse(b.trailer().bytes());
    ASSERT_EQ(stores.size(), 1u);
    ASSERT_EQ(stores[0].records.size(), 200u);
    EXPECT_EQ(stores[0].records[199], Bytes{200});
}

TEST(RecordStoreFile, StructureParsesWhateverTheMagicAndTrailer) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::size_t stores;
    };
    const Case cases[] = {
        {"wrong magic and reserved word",
         FileBuilder().ascii("XY").be32(-7).be32(1).ascii("g").u8(1).record({9}).trailer().bytes(), 1},
        {"no trailer", FileBuilder().header(1).ascii("g").u8(0).bytes(), 1},
        {"junk after the stores", FileBuilder().header(1).ascii("g").u8(0).raw({0xFF, 0xFF, 0xFF}).bytes(), 1},
        {"zero stores, then junk", FileBuilder().header(0).raw({0xFF}).bytes(), 0},
        {"negative store count", FileBuilder().header(-5).bytes(), 0},
        {"duplicate names", FileBuilder().header(2).ascii("g").u8(0).ascii("g").u8(0).bytes(), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(RecordStoreFile::parse(c.bytes).size(), c.stores);
    }
}

TEST(RecordStoreFile, MalformedFilesFailWithAReason) {
    struct Case {
        const char* what;
        Bytes bytes;
        const char* message;
    };
    const Case cases[] = {
        {"129 stores", FileBuilder().header(129).bytes(), "store count 129, at most 128 fit"},
        {"count 255", FileBuilder().header(1).ascii("g").u8(255).bytes(),
         "store 0 \"g\": record count 255 at offset 21, at most 254 fit"},
        {"negative length", FileBuilder().header(1).ascii("g").u8(1).be32(-1).bytes(),
         "store 0 \"g\" record 1: negative length -1 at offset 22"},
        {"length beyond the end", FileBuilder().header(1).ascii("g").u8(1).be32(0x7FFFFFFF).u8(0).bytes(),
         "store 0 \"g\" record 1 data: need 2147483647 bytes at offset 26, 1 left"},
        {"bad name bytes", FileBuilder().header(1).be16(1).u8(0x80).u8(0).bytes(),
         "store 0 name: bad lead byte at byte 0"},
        {"missing store", FileBuilder().header(2).ascii("g").u8(0).bytes(),
         "store 1 name: need 2 bytes at offset 22, 0 left"},
        {"empty file", {}, "magic: need 2 bytes at offset 0, 0 left"},
        {"name that cannot be written back",
         FileBuilder().header(1).be16(0xFFFF).raw(Bytes(0xFFFF, 0x00)).u8(0).bytes(),
         "store 0 name: 131070 bytes once written back, at most 65535"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            RecordStoreFile::parse(c.bytes);
            ADD_FAILURE() << "parsed";
        } catch (const java::io::IOException& e) {
            EXPECT_EQ(e.getMessage(), c.message);
        }
    }
}

TEST(RecordStoreFile, EveryTruncationBeforeTheTrailerFails) {
    const std::vector<Store> stores{makeStore("emu_settings", 1), makeStore("g", 5), makeStore("s", 2)};
    const Bytes image = RecordStoreFile::serialize(stores);
    const std::size_t trailerStart = image.size() - 6;
    for (std::size_t n = 0; n < image.size(); ++n) {
        const Bytes prefix(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n));
        if (n < trailerStart) {
            EXPECT_THROW(RecordStoreFile::parse(prefix), java::io::EOFException) << n;
        } else {
            EXPECT_EQ(RecordStoreFile::parse(prefix), stores) << n;
        }
    }
}

TEST(RecordStoreFile, NameTooLongToSerialize) {
    const std::vector<Store> stores{{std::string(65536, 'n'), {}}};
    EXPECT_THROW(RecordStoreFile::serialize(stores), java::io::UTFDataFormatException);
}

TEST(RecordStoreFile, AtomicWriteReplacesOrKeepsTheWholeFile) {
    rms_test::TempWorkingDir dir;
    RecordStoreFile::writeAtomically("rms.dat", Bytes{1, 2, 3});
    RecordStoreFile::writeAtomically("rms.dat", Bytes{4, 5});
    EXPECT_EQ(rms_test::readFile("rms.dat"), (Bytes{4, 5}));
    EXPECT_FALSE(std::filesystem::exists("rms.dat.tmp"));

    // The temporary cannot be created: the old file stays whole.
    std::filesystem::create_directory("rms.dat.tmp");
    EXPECT_THROW(RecordStoreFile::writeAtomically("rms.dat", Bytes{6}), java::io::IOException);
    EXPECT_EQ(rms_test::readFile("rms.dat"), (Bytes{4, 5}));
}

TEST(RecordStoreFile, ReadAndMoveAside) {
    rms_test::TempWorkingDir dir;
    using Status = RecordStoreFile::FileContents::Status;
    EXPECT_EQ(RecordStoreFile::emuReadWholeFile("rms.dat").status, Status::Missing);
    EXPECT_FALSE(RecordStoreFile::moveAside("rms.dat"));

    std::filesystem::create_directory("rms.dat");
    EXPECT_EQ(RecordStoreFile::emuReadWholeFile("rms.dat").status, Status::Unreadable);
    std::filesystem::remove("rms.dat");

    Bytes big(200000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 31);
    rms_test::writeFile("rms.dat", big);
    const auto read = RecordStoreFile::emuReadWholeFile("rms.dat");
    EXPECT_EQ(read.status, Status::Read);
    EXPECT_EQ(read.bytes, big);

    rms_test::writeFile("rms.dat.bad", Bytes{9});
    EXPECT_TRUE(RecordStoreFile::moveAside("rms.dat"));
    EXPECT_FALSE(std::filesystem::exists("rms.dat"));
    EXPECT_EQ(rms_test::readFile("rms.dat.bad"), big);
}

}  // namespace
