// Every animation of the built packs decodes through the sprites' own
// loader and draws each of its frames; the game's picture descriptors load.
#include <gtest/gtest.h>
#include <unistd.h>

#include "Data.h"
#include "game/MainCanvas.h"
#include "game/SpriteSheet.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

namespace {

using game::MainCanvas;
using game::SpriteSheet;
using game::format::PackFile;

class SpritesOverData : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        ASSERT_EQ(chdir(RESOURCE_DIR), 0);
        MainCanvas::resetClassState();
        SpriteSheet::resetClassState();
        data_ = content::DataSet::load(".");
        SpriteSheet::initImages();
    }
    void TearDown() override {
        SpriteSheet::resetClassState();
        MainCanvas::resetClassState();
        ASSERT_EQ(chdir(previous_), 0);
    }
    char previous_[4096] = {};
    content::DataSet data_;
};

TEST_F(SpritesOverData, EveryAnimationDecodesAndDrawsEveryFrame) {
    auto screen = javax::microedition::lcdui::Image::createImage(800, 600);
    auto g = screen->getGraphics();
    int anims = 0;
    for (const auto& [name, pack] : data_.packs()) {
        if (name[0] != 'r') continue;
        const int number = std::stoi(name.substr(1));
        for (int i = 0; i < pack.count(); ++i) {
            if (content::sniffKind(name, pack.entry(i)) != "anim") continue;
            const std::int32_t id = PackFile::idOf(number, i);
            SCOPED_TRACE(content::hexId(id));
            SpriteSheet sprite;
            ASSERT_NO_THROW(sprite.create(SpriteSheet::loadAnimation(id), true));
            const auto& a = *sprite.getCurrentAnimation();
            for (int f = 0; f < a[4]; ++f) {
                sprite.setFrame(f);
                ASSERT_NO_THROW(sprite.draw(*g, 400, 300));
            }
            ++anims;
        }
    }
    EXPECT_EQ(anims, 162 + 4 + 19 * 4);  // the fixed ids, the barrier, front overlay, results crab and bonus object, the menu item sprites
    EXPECT_FALSE(SpriteSheet::shared().images.empty());
    for (std::int32_t d : {0x60039, 0x30095, 0x3009E, 0x60012}) {
        EXPECT_NO_THROW(SpriteSheet::loadImageDescriptor(d, 0, 1)) << content::hexId(d);
    }
}

}  // namespace
