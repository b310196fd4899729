#include "game/format/PackFile.h"

#include <gtest/gtest.h>

#include "java/lang/Exceptions.h"

namespace game::format {
namespace {

std::vector<std::uint8_t> be(std::initializer_list<std::uint32_t> words) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t w : words)
        for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(w >> s));
    return out;
}

TEST(PackFile, WritesTheLayoutAndReadsItBack) {
    const std::vector<std::vector<std::uint8_t>> entries = {{1, 2, 3}, {}, {4}, {}};
    const auto bytes = PackFile::write(entries);
    // length, count, four offsets, then the data; the empty last entry
    // starts at the file's end.
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0, 0, 0, 28, 0, 0, 0, 4, 0, 0, 0, 24, 0, 0, 0, 27, 0, 0, 0, 27, 0, 0, 0, 28, 1, 2, 3, 4}));
    const PackFile pack("r7", bytes);
    ASSERT_EQ(pack.count(), 4);
    for (int i = 0; i < 4; ++i) {
        const auto e = pack.entry(i);
        EXPECT_EQ(std::vector<std::uint8_t>(e.begin(), e.end()), entries[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(PackFile::idOf(3, 0x45), 0x30045);
    EXPECT_EQ(PackFile::packOf(static_cast<std::int32_t>(0xFFFF0001u)), 0xFFFF);
    EXPECT_EQ(PackFile::idText(0x30045), "0x30045");
}

TEST(PackFile, RejectsBrokenHeadersWithThePacksName) {
    struct Bad {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    auto withTail = [](std::vector<std::uint8_t> v, std::size_t n) {
        v.resize(v.size() + n, 0);
        return v;
    };
    const Bad cases[] = {
        {"too short", {0, 0, 0, 4}},
        {"length disagrees", withTail(be({20, 1, 12}), 4)},
        {"table past the end", be({12, 5, 12})},
        {"offset before the table", withTail(be({16, 1, 4}), 4)},
        {"offset past the end", withTail(be({16, 1, 17}), 4)},
        {"offsets out of order", withTail(be({24, 2, 20, 18}), 8)},
    };
    for (const Bad& b : cases) {
        SCOPED_TRACE(b.what);
        try {
            PackFile("r9", b.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const java::io::IOException& e) {
            EXPECT_NE(e.getMessage().find("pack r9"), std::string::npos) << e.getMessage();
        }
    }
}

TEST(PackFile, EntryOutsideTheTableNamesPackAndEntry) {
    const PackFile pack("r3", PackFile::write({{1}}));
    try {
        pack.entry(0x45);
        ADD_FAILURE();
    } catch (const java::lang::ArrayIndexOutOfBoundsException& e) {
        EXPECT_NE(e.getMessage().find("r3"), std::string::npos);
        EXPECT_NE(e.getMessage().find("0x45"), std::string::npos);
    }
    EXPECT_THROW(pack.entry(-1), java::lang::ArrayIndexOutOfBoundsException);
}

TEST(TextEntry, KeepsTheBreakMarkAndEncodesModifiedUtf8) {
    const std::string text = "Caf\xC3\xA9\\nline two";
    const auto e = TextEntry::encode(text);
    EXPECT_EQ(e[0], 0);
    EXPECT_EQ(e[1], text.size());
    EXPECT_EQ(TextEntry::decode(e), text);
    // NUL takes the two-byte form in the pack.
    EXPECT_EQ(TextEntry::encode(std::string("a\0b", 3)), (std::vector<std::uint8_t>{0, 4, 'a', 0xC0, 0x80, 'b'}));
    EXPECT_EQ(TextEntry::decode(std::vector<std::uint8_t>{0, 0}), "");
    EXPECT_THROW(TextEntry::decode(std::vector<std::uint8_t>{0, 5, 'a'}), java::io::EOFException);
}

}  // namespace
}  // namespace game::format
