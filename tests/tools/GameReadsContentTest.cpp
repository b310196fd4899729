// The game's own readers take the built data: pack entries and texts
// through MainCanvas, pictures through the image decoder, animations
// through the decoder the sprites use.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "Data.h"
#include "game/MainCanvas.h"
#include "game/format/AnimationData.h"
#include "game/format/GameFontData.h"
#include "game/format/LevelFile.h"
#include "game/world/GameWorld.h"
#include "game/world/LevelLoader.h"
#include "platform/Console.h"
#include "javax/microedition/lcdui/Image.h"

namespace {

using game::MainCanvas;
using game::format::PackFile;

// The game finds its packs relative to the working directory.
class InResourceDir : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        ASSERT_EQ(chdir(RESOURCE_DIR), 0);
        MainCanvas::resetClassState();
        data_ = content::DataSet::load(".");
    }
    void TearDown() override {
        MainCanvas::resetClassState();
        ASSERT_EQ(chdir(previous_), 0);
    }
    char previous_[4096] = {};
    content::DataSet data_;
};

TEST_F(InResourceDir, EveryEntryAndTextReadsTheSame) {
    int entries = 0;
    for (const auto& [name, pack] : data_.packs()) {
        const bool texts = name.rfind("l0_", 0) == 0;
        const int number = std::stoi(name.substr(texts ? 3 : 1));
        for (int i = 0; i < pack.count(); ++i) {
            const std::int32_t id = PackFile::idOf(number, i);
            const auto e = pack.entry(i);
            if (texts) {
                EXPECT_EQ(MainCanvas::text(id), game::format::TextEntry::decode(e)) << i;
            } else {
                const auto bytes = MainCanvas::resourceBytes(id);
                ASSERT_TRUE(bytes.has_value());
                EXPECT_EQ(*bytes, std::vector<std::uint8_t>(e.begin(), e.end())) << content::hexId(id);
            }
            ++entries;
        }
    }
    EXPECT_GT(entries, 900);
    EXPECT_EQ(MainCanvas::text(-2), "");
}

TEST_F(InResourceDir, PicturesAnimationsFontsAndMapsDecode) {
    int pngs = 0, anims = 0, fonts = 0;
    for (const auto& [name, pack] : data_.packs()) {
        if (name[0] != 'r') continue;
        const int number = std::stoi(name.substr(1));
        for (int i = 0; i < pack.count(); ++i) {
            const std::int32_t id = PackFile::idOf(number, i);
            const std::string kind = content::sniffKind(name, pack.entry(i));
            SCOPED_TRACE(content::hexId(id));
            if (kind == "png") {
                const auto image = MainCanvas::loadImage(id);
                ASSERT_NE(image, nullptr);
                EXPECT_GT(image->getWidth(), 0);
                ++pngs;
            } else if (kind == "anim") {
                int slots = 0;
                const auto shorts = game::format::AnimationData::decode(pack.entry(i), [&](std::int32_t, int, int, int) { return slots++; });
                EXPECT_GT(shorts.size(), 6u);
                ++anims;
            } else if (kind == "font") {
                EXPECT_FALSE(game::format::GameFontData::decode(pack.entry(i)).glyphs.empty());
                ++fonts;
            }
        }
    }
    EXPECT_EQ(pngs, 13);  // nine fixed pictures and four of the story
    EXPECT_EQ(anims, 162 + 4 + 19 * 4);  // the fixed ids, the barrier, front overlay, results crab and bonus object, the menu item sprites
    EXPECT_EQ(fonts, 4);
    const auto levels = MainCanvas::resourceBytes(0x10002);
    ASSERT_TRUE(levels.has_value());
    for (int map = 0; map < game::format::LevelFile::mapCount(*levels); ++map) EXPECT_NO_THROW(game::format::LevelFile::read(*levels, map)) << map;
}

// Every stage map loads through the game's loader as its stage loads it,
// without a line about mended data.
TEST_F(InResourceDir, EveryStageMapLoadsThroughTheGameLoader) {
    using game::world::GameWorld;
    using game::world::LevelLoader;
    std::ostringstream out;
    platform::Console::redirect(&out, nullptr);
    GameWorld::resetClassState();
    LevelLoader::loadLevel(LevelLoader::kHeaderMap, true, LevelLoader::NO_PAD);
    EXPECT_EQ(GameWorld::state().levelParams.size(), 24u);
    LevelLoader::loadLevel(LevelLoader::kTableMap, false, LevelLoader::TABLE);
    const auto table = GameWorld::state().levelTable;
    int loaded = 0;
    for (int level = 1; level <= 27; ++level) {
        const auto& row = table[static_cast<std::size_t>(level)];
        EXPECT_NO_THROW(LevelLoader::loadLevel(row[0], false, LevelLoader::PAD_BELOW)) << level;
        EXPECT_GE(GameWorld::state().mapCols, 21);
        if (!GameWorld::state().bonusLevel) {
            EXPECT_NO_THROW(LevelLoader::loadLevel(row[1], false, LevelLoader::PAD_ABOVE)) << level;
            EXPECT_GT(GameWorld::placedTargets(), 0) << level;
            GameWorld::resetStats();
        }
        ++loaded;
    }
    platform::Console::redirect(nullptr, nullptr);
    EXPECT_EQ(loaded, 27);
    EXPECT_EQ(out.str(), "");
    GameWorld::resetClassState();
}

}  // namespace
