// The content project on a small set of sources: paths into the work folder
// and pictures stored without their transparent margins.
#include <gtest/gtest.h>

#include <filesystem>

#include "Project.h"
#include "game/SpriteSheet.h"
#include "game/format/AnimationData.h"
#include "game/format/PackFile.h"
#include "support/Subprocess.h"

namespace {

namespace fs = std::filesystem;
using game::SpriteSheet;
using game::format::AnimationData;
using game::format::PackFile;

void put(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    content::writeFile(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// A 10 x 8 picture, clear but for a 3 x 2 block at (6, 1).
void putPicture(const fs::path& file) {
    content::Rgba img(10, 8);
    img.fillRect(6, 1, 3, 2, 0xFFFF8000u);
    fs::create_directories(file.parent_path());
    content::writeFile(file, content::writePngRgba(img));
}

struct Built {
    std::vector<std::uint8_t> anim, raw;
};

// One pack with an animation showing the picture plainly and mirrored both
// ways; the picture and the animation table live in the work folder.
Built buildTiny(bool trim) {
    const fs::path dir = testsupport::makeTempDir("content-tiny"), work = dir / "work";
    put(dir / "assets/content.toml",
        "manifest = \"MANIFEST.MF\"\npalettes = \"palettes.toml\"\ntexts = \"texts.toml\"\n"
        "packs = [\"packs/r3.toml\"]\nanimations = [\"anims.toml\", \"@art/anims.toml\"]\n");
    put(dir / "assets/MANIFEST.MF", "MIDlet-1: Game, /icon.png, Brindle\r\n");
    put(dir / "assets/palettes.toml", "table = [\"p\"]\n[palette.p]\ncolours = [\"#000000\", \"#FFFFFF\"]\n");
    put(dir / "assets/texts.toml", "[text]\n1 = \"en\"\n");
    put(dir / "assets/anims.toml", "# nothing drawn by hand\n");
    put(dir / "assets/packs/r3.toml",
        std::string("pack = 3\nentries = [\n  { id = 0x30001, kind = \"anim\", anim = \"a\" },\n"
                    "  { id = 0x30002, kind = \"raw\", name = \"pic\", source = \"@art/pic.png\", format = \"rgba\"") +
            (trim ? ", trim = true" : "") + " },\n]\n");
    put(work / "art/anims.toml",
        "[anim.a]\nextent = [10, 8]\nframes = [{ draw = [{ image = \"pic\", at = [100, 50] }, "
        "{ image = \"pic\", at = [100, 50], flip = 1 }, { image = \"pic\", at = [100, 50], flip = 2, scale = 2 }] }]\n");
    putPicture(work / "art/pic.png");
    content::Project project(dir / "assets", work);
    project.build();
    const auto& pack = project.packs().at("r3");
    Built b{pack.entries.at(1), pack.entries.at(2)};
    fs::remove_all(dir);
    return b;
}

TEST(ContentProject, TrimmedPicturesKeepTheirPlaceInEveryMirroring) {
    const Built plain = buildTiny(false), trimmed = buildTiny(true);
    EXPECT_EQ(SpriteSheet::rawWidth(plain.raw), 10);
    EXPECT_EQ(SpriteSheet::rawWidth(trimmed.raw), 3);
    EXPECT_EQ(SpriteSheet::rawHeight(trimmed.raw), 2);
    const auto elements = AnimationData::parse(trimmed.anim).frames.at(0).elements;
    ASSERT_EQ(elements.size(), 3u);
    // The block sits at (6, 1) of the picture: 1 column from its right edge
    // and 5 rows from its bottom, doubled at scale 2.
    const int want[3][2] = {{106, 51}, {101, 51}, {112, 60}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(elements[static_cast<std::size_t>(i)].dx, want[i][0]) << i;
        EXPECT_EQ(elements[static_cast<std::size_t>(i)].dy, want[i][1]) << i;
    }
    const auto untrimmed = AnimationData::parse(plain.anim);
    for (const auto& e : untrimmed.frames.at(0).elements) {
        EXPECT_EQ(e.dx, 100);
        EXPECT_EQ(e.dy, 50);
    }
}

}  // namespace
