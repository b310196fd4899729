#include "game/format/LevelFile.h"

#include <gtest/gtest.h>

#include "java/lang/Exceptions.h"

namespace game::format {
namespace {

LevelMap sampleMap() {
    LevelMap m;
    m.cols = 3;
    m.rows = 2;
    m.cells = {0, 21, -99, 1, 2, 127};
    m.records = {
        {20, {1, 0, 2, 5, 6}},
        {0, {2, 15, 1, 3, -7, 3, 0, 100, -200, 300}},
        {7, {1, 2, 3, 4}}, {8, {5, 1, 1}}, {9, {2, 2}}, {11, {0, 1}}, {12, {1, 2, 3, 4, 5, 6}},
        {13, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        {14, {5, 13, 224, 6, 8, 180, 20, 16, 200}}, {15, {6, 3, -20, 60, 1}},
        {16, {1, 1, 3, 0}}, {17, {1, 1, 4, 0}}, {18, {0, 0, 24, 19}}, {19, {9}}, {3, {}}, {200, {}},
    };
    return m;
}

TEST(LevelFile, RoundTripsEveryRecordLayout) {
    std::vector<std::optional<LevelMap>> maps(5);
    maps[0] = sampleMap();
    maps[4] = sampleMap();
    maps[4]->records.resize(2);
    const auto file = LevelFile::write(maps);
    EXPECT_EQ(LevelFile::read(file, 0), *maps[0]);
    EXPECT_EQ(LevelFile::read(file, 4), *maps[4]);
    // Maps without a source are readable 1 x 1 maps.
    const LevelMap empty = LevelFile::read(file, 2);
    EXPECT_EQ(empty.cols, 1);
    EXPECT_TRUE(empty.records.empty());
    EXPECT_EQ(LevelFile::mapCount(file), 5);
}

TEST(LevelFile, OffsetsCountFromTheEndOfEachTableEntry) {
    std::vector<std::optional<LevelMap>> maps(3);
    const auto file = LevelFile::write(maps);
    // byte 0, three entries, then 1x1 blocks of 5 bytes each.
    for (int k = 0; k < 3; ++k) {
        const std::size_t block = 13 + 5 * static_cast<std::size_t>(k);
        const std::int32_t entry = static_cast<std::int32_t>((file[1 + 4 * k] << 24) | (file[2 + 4 * k] << 16) | (file[3 + 4 * k] << 8) | file[4 + 4 * k]);
        EXPECT_EQ(5 + 4 * k + entry, static_cast<int>(block));
        EXPECT_EQ(LevelFile::blockOffset(file, k), block);
    }
}

TEST(LevelFile, TruncatedFilesFailWithTheMapsName) {
    std::vector<std::optional<LevelMap>> maps(2);
    maps[1] = sampleMap();
    const auto file = LevelFile::write(maps);
    for (std::size_t n = 0; n < file.size(); ++n) {
        const auto cut = std::span(file).first(n);
        try {
            LevelFile::read(cut, 1);
            ADD_FAILURE() << "read " << n << " bytes";
        } catch (const java::io::EOFException& e) {
            EXPECT_NE(e.getMessage().find("map 1"), std::string::npos) << e.getMessage();
        } catch (const java::lang::IllegalArgumentException& e) {
            EXPECT_NE(e.getMessage().find("map 1"), std::string::npos) << e.getMessage();
        }
    }
}

TEST(LevelFile, WriterRefusesWhatTheLayoutCannotHold) {
    auto wrongCount = sampleMap();
    wrongCount.records[2].values.pop_back();
    auto wide = sampleMap();
    wide.records[3].values[0] = 300;
    auto cells = sampleMap();
    cells.cells.pop_back();
    for (const LevelMap* m : {&wrongCount, &wide, &cells}) {
        std::vector<std::optional<LevelMap>> maps = {*m};
        EXPECT_THROW(LevelFile::write(maps), java::lang::IllegalArgumentException);
    }
}

}  // namespace
}  // namespace game::format
