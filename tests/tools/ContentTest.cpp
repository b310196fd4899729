// The content compiler end to end: the built data set, its determinism,
// its readers, and the inspector.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <regex>

#include "Data.h"
#include "TarvokinEmu/PNGReader.h"
#include "game/SpriteSheet.h"
#include "game/format/PackFile.h"
#include "support/Subprocess.h"

namespace {

namespace fs = std::filesystem;
using content::DataSet;
using game::SpriteSheet;
using game::format::PackFile;
using testsupport::runProcess;

std::vector<std::uint8_t> slurp(const fs::path& p) { return content::readFile(p); }

const DataSet& built() {
    static const DataSet data = DataSet::load(RESOURCE_DIR);
    return data;
}

std::vector<fs::path> filesUnder(const fs::path& dir) {
    std::vector<fs::path> out;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) out.push_back(fs::relative(e.path(), dir));
    std::sort(out.begin(), out.end());
    return out;
}

testsupport::ProcessResult tool(const std::vector<std::string>& args) {
    testsupport::ProcessOptions o;
    o.timeoutMs = 120000;
    o.env["TIDEPOOL_DATA"] = RESOURCE_DIR;
    return runProcess(TIDEPOOL_CONTENT, args, o);
}

TEST(ContentBuild, TwoCleanBuildsAreByteIdentical) {
    const std::string a = testsupport::makeTempDir("content-a"), b = testsupport::makeTempDir("content-b");
    for (const auto& dir : {a, b}) {
        auto r = tool({"build", ASSETS_DIR, dir, CONTENT_WORK});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        r = tool({"fonts", ASSETS_DIR, dir});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
    }
    const auto files = filesUnder(a);
    ASSERT_EQ(files, filesUnder(b));
    EXPECT_GE(files.size(), 8u + 60u);
    for (const auto& f : files) {
        EXPECT_EQ(slurp(fs::path(a) / f), slurp(fs::path(b) / f)) << f;
        // The build's own output is the same too.
        EXPECT_EQ(slurp(fs::path(a) / f), slurp(fs::path(RESOURCE_DIR) / f)) << f;
    }
    fs::remove_all(a);
    fs::remove_all(b);
}

// A reader written from the layout alone: length, count, offsets, entries.
TEST(ContentBuild, EveryPackReadsWithAnIndependentReader) {
    int packs = 0;
    for (const char* name : {"r1", "r2", "r3", "r4", "r5", "r6", "l0_0"}) {
        SCOPED_TRACE(name);
        const auto bytes = slurp(fs::path(RESOURCE_DIR) / name);
        auto u32 = [&](std::size_t at) {
            return (std::uint32_t{bytes.at(at)} << 24) | (std::uint32_t{bytes.at(at + 1)} << 16) | (std::uint32_t{bytes.at(at + 2)} << 8) | bytes.at(at + 3);
        };
        ASSERT_EQ(u32(0), bytes.size());
        const std::uint32_t count = u32(4);
        const PackFile pack(name, bytes);
        ASSERT_EQ(static_cast<std::uint32_t>(pack.count()), count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t start = u32(8 + 4 * i);
            const std::uint32_t end = i + 1 < count ? u32(12 + 4 * i) : static_cast<std::uint32_t>(bytes.size());
            ASSERT_LE(8 + 4 * count, start);
            ASSERT_LE(start, end);
            ASSERT_LE(end, bytes.size());
            const auto e = pack.entry(static_cast<int>(i));
            ASSERT_EQ(std::vector<std::uint8_t>(bytes.begin() + start, bytes.begin() + end), std::vector<std::uint8_t>(e.begin(), e.end()));
        }
        ++packs;
    }
    EXPECT_EQ(packs, 7);
}

// Texts arrive as written, in modified UTF-8, the break mark untouched.
TEST(ContentBuild, TextsMatchTheirSource) {
    const auto source = toml::parse(std::string(ASSETS_DIR) + "/texts/en.toml");
    int checked = 0;
    for (const auto& [key, value] : toml::find(source, "text").as_table()) {
        EXPECT_EQ(built().text(std::stoi(key)), value.as_string().str) << key;
        ++checked;
    }
    EXPECT_GT(checked, 90);
    EXPECT_NE(built().text(76).find("\\n"), std::string::npos);
}

// pngcheck's path, or empty when it is not installed.
std::string pngcheckPath() {
    const auto r = runProcess("/bin/sh", {"-c", "command -v pngcheck"});
    std::string path = r.exitStatus == 0 ? r.out : "";
    while (!path.empty() && (path.back() == '\n' || path.back() == ' ')) path.pop_back();
    return path;
}

// Every PNG the game or the runtime decodes: pngcheck agrees, and the
// runtime's own decoder takes it.
TEST(ContentBuild, EveryPngEntryIsValidAndDecodes) {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> pngs;
    for (const auto& [name, pack] : built().packs())
        for (int i = 0; i < pack.count(); ++i) {
            const auto e = pack.entry(i);
            if (content::sniffKind(name, e) == "png") pngs.emplace_back(name + "/" + std::to_string(i), std::vector<std::uint8_t>(e.begin(), e.end()));
        }
    for (const auto& f : filesUnder(fs::path(RESOURCE_DIR) / "TarvokinEmuFonts"))
        if (f.extension() == ".png") pngs.emplace_back(f.string(), slurp(fs::path(RESOURCE_DIR) / "TarvokinEmuFonts" / f));
    EXPECT_EQ(pngs.size(), 9u + 4u + 30u);  // the fixed ids, the intro story pictures, the font sheets
    const std::string pngcheck = pngcheckPath();
    const bool check = !pngcheck.empty();
    const std::string dir = testsupport::makeTempDir("content-png");
    for (const auto& [what, bytes] : pngs) {
        SCOPED_TRACE(what);
        EXPECT_NO_THROW(TarvokinEmu::PNGReader::decode(bytes));
        if (!check) continue;
        const std::string file = dir + "/x.png";
        content::writeFile(file, bytes);
        const auto r = runProcess(pngcheck, {"-q", file});
        EXPECT_EQ(r.exitStatus, 0) << r.out << r.err;
    }
    fs::remove_all(dir);
    if (!check) GTEST_SKIP() << "pngcheck is not installed; decoded only";
}

// The runtime font sets: twelve files a set, 95 records, cells inside the
// sheet and the 256 x 256 the metrics can address, glyph pixels dark.
TEST(ContentBuild, RuntimeFontSetsAreComplete) {
    for (const char* set : {"SI-SL55", "NK-3300", "NK-6020", "NK-6600", "SE-S700"}) {
        int previousHeight = 0;
        for (const char* size : {"small", "medium", "large"})
            for (const char* style : {"plain", "bold"}) {
                const fs::path base = fs::path(RESOURCE_DIR) / "TarvokinEmuFonts" / set / (std::string(size) + "_" + style);
                SCOPED_TRACE(base.string());
                const auto cor = slurp(base.string() + ".cor");
                const auto png = slurp(base.string() + ".png");
                ASSERT_EQ(cor.size(), 95u * 6);
                const platform::Picture sheet = TarvokinEmu::PNGReader::decode(png);
                // "PLTE" must be found searching from offset 32.
                const std::string text(png.begin(), png.end());
                const std::size_t plte = text.find("PLTE", 32);
                ASSERT_NE(plte, std::string::npos);
                const std::uint32_t plteLen = (png[plte - 2] << 8) | png[plte - 1];
                for (std::size_t i = 0; i < plteLen; i += 3) EXPECT_TRUE(png[plte + 4 + i] < 16 && png[plte + 5 + i] < 16 && png[plte + 6 + i] < 16);
                const int height = static_cast<std::int8_t>(cor[3]);
                EXPECT_GE(height, previousHeight);
                if (std::string(style) == "bold") previousHeight = height;
                for (int k = 0; k < 95; ++k) {
                    const auto* r = &cor[static_cast<std::size_t>(k) * 6];
                    const int w = static_cast<std::int8_t>(r[2]), h = static_cast<std::int8_t>(r[3]);
                    const int x = static_cast<std::int8_t>(r[4]) + 128, y = static_cast<std::int8_t>(r[5]) + 128;
                    EXPECT_GT(w, 0) << k;
                    EXPECT_LE(x + w, sheet.width) << k;
                    EXPECT_LE(y + h, sheet.height) << k;
                }
                // 'W' has ink in its cell.
                const auto* rw = &cor[('W' - 32) * 6];
                bool ink = false;
                for (int yy = 0; yy < rw[3]; ++yy)
                    for (int xx = 0; xx < rw[2]; ++xx) ink |= (sheet.pixels[static_cast<std::size_t>(static_cast<std::int8_t>(rw[5]) + 128 + yy) * sheet.width + static_cast<std::int8_t>(rw[4]) + 128 + xx] >> 24) > 128;
                EXPECT_TRUE(ink);
            }
    }
}

// `image` writes what the game's writer makes, byte for byte, and the
// stored checksums agree with zlib's.
TEST(ContentBuild, ImageCommandWritesTheGamesPngBytes) {
    const std::string dir = testsupport::makeTempDir("content-image");
    int raws = 0;
    for (const auto& [name, pack] : built().packs()) {
        if (name.rfind("r", 0) != 0) continue;
        const int packNo = std::stoi(name.substr(1));
        for (int i = 0; i < pack.count(); ++i) {
            const auto e = pack.entry(i);
            const std::string kind = content::sniffKind(name, e);
            if (kind != "raw" && kind != "raw-direct") continue;
            const std::int32_t id = PackFile::idOf(packNo, i);
            const int w = SpriteSheet::rawWidth(e), h = SpriteSheet::rawHeight(e);
            // Indexed pictures with palette 0, direct ones as RGBA (the art's format).
            const bool indexed = kind == "raw";
            const int selector = indexed ? 0 : SpriteSheet::PALETTE_RGBA;
            auto build = [&](int flip, int scale) {
                return indexed ? SpriteSheet::buildPng(built().palettes()[0], e, w, h, -1, 12, flip, scale)
                               : SpriteSheet::buildPng({}, e, w, h, selector, 4, flip, scale);
            };
            const auto png = build(0, 1);
            if (indexed) {
                // The IDAT CRC that was copied from the entry is the real one.
                const std::size_t crcAt = png.size() - 12 - 4;
                const std::uint32_t stored = (std::uint32_t{png[crcAt]} << 24) | (png[crcAt + 1] << 16) | (png[crcAt + 2] << 8) | png[crcAt + 3];
                const std::size_t idatLen = 4 + 2 + 5 * ((static_cast<std::size_t>(h) * (1 + w) - 1) / (65531 - 65531 % (1 + w)) + 1) + static_cast<std::size_t>(h) * (1 + w) + 4;
                EXPECT_EQ(stored, ::crc32(0, png.data() + crcAt - idatLen, static_cast<uInt>(idatLen))) << content::hexId(id);
            }
            EXPECT_NO_THROW(TarvokinEmu::PNGReader::decode(png)) << content::hexId(id);
            if (raws++ % 150 == 0) {
                for (const auto& args : std::vector<std::vector<int>>{{0, 1}, {3, 2}, {1, 3}}) {
                    const std::string out = dir + "/i.png";
                    const auto r = tool({"image", content::hexId(id), std::to_string(selector), std::to_string(args[0]), std::to_string(args[1]), out});
                    ASSERT_EQ(r.exitStatus, 0) << r.err;
                    EXPECT_EQ(slurp(out), build(args[0], args[1]));
                }
            }
        }
    }
    EXPECT_GT(raws, 100);
    fs::remove_all(dir);
}

// The inspector handles every kind of entry.
TEST(ContentBuild, InspectorListsExtractsAndRenders) {
    const std::string dir = testsupport::makeTempDir("content-inspect");
    std::set<std::string> kinds;
    for (const char* pack : {"r1", "r2", "r3", "r4", "r5", "r6", "l0_0"}) {
        const auto r = tool({"list", pack});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        for (const char* k : {"font", "png", "mp3", "wav", "anim", "raw-direct", "desc", "paltab", "palette", "text", "level"})
            if (r.out.find(std::string(" ") + k + " ") != std::string::npos) kinds.insert(k);
    }
    EXPECT_EQ(kinds.size(), 11u);
    // The tile picture's raw entry, named by its descriptor.
    const auto desc = built().entry(0x60012);
    const std::string tiles = content::hexId(static_cast<std::int32_t>((std::uint32_t{desc[1]} << 24) | (std::uint32_t{desc[2]} << 16) | (std::uint32_t{desc[3]} << 8) | desc[4]));
    struct Run {
        std::vector<std::string> args;
        std::string expect;
    };
    const std::vector<Run> runs = {
        {{"extract", "0x10014", dir + "/tune.mp3"}, "bytes"},
        {{"extract", "t118", dir + "/names.bin"}, "bytes"},
        {{"anim", "0x40065"}, "11 frames"},
        {{"anim-sheet", "0x3006B", dir + "/digits.png"}, "10 frames"},
        {{"anim-sheet", "0x5008B", dir + "/card.png"}, "1 frames"},
        {{"level", "44"}, "record 20"},
        {{"level-png", "46", dir + "/map.png"}, "map 46"},
        {{"image", tiles, "255", "1", "2", dir + "/tiles.png"}, "bytes"},
        {{"render", "0x10000", dir + "/font.png", "0x1000B"}, "font"},
        {{"render", "0x3009E", dir + "/desc.png"}, "desc"},
        {{"render", "0x60042", dir + "/palettes.png"}, "paltab"},
        {{"render", "0x10002", dir + "/map0.png"}, "map 0"},
    };
    for (const Run& run : runs) {
        const auto r = tool(run.args);
        EXPECT_EQ(r.exitStatus, 0) << run.args[0] << ": " << r.err;
        EXPECT_NE(r.out.find(run.expect), std::string::npos) << run.args[0] << ": " << r.out;
    }
    for (const char* png : {"digits.png", "card.png", "map.png", "tiles.png", "font.png", "desc.png", "palettes.png", "map0.png"}) EXPECT_NO_THROW(TarvokinEmu::PNGReader::decode(slurp(dir + "/" + png))) << png;
    EXPECT_EQ(slurp(dir + "/names.bin").size(), 2 + built().text(118).size());
    EXPECT_NE(tool({"anim", "0x10014"}).exitStatus, 0);
    EXPECT_NE(tool({"render", "0x30001", dir + "/sound.png"}).exitStatus, 0);
    EXPECT_EQ(tool({"frobnicate"}).exitStatus, 2);
    fs::remove_all(dir);
}

std::vector<std::string> checkWith(const DataSet& data) {
    content::Deps deps;
    return content::checkCatalogue(data, content::parseToml(std::string(ASSETS_DIR) + "/catalogue.toml", deps));
}

// The check passes on the data set and names what breaks it.
TEST(ContentCatalogue, NamesTheIdsThatBreakIt) {
    EXPECT_EQ(checkWith(built()), std::vector<std::string>{});
    struct Breakage {
        std::int32_t id;
        std::vector<std::uint8_t> bytes;
        std::string expect;
    };
    const auto entryOf = [](std::int32_t id) {
        const auto e = built().entry(id);
        return std::vector<std::uint8_t>(e.begin(), e.end());
    };
    const Breakage cases[] = {
        {0x3006B, entryOf(0x30022), "0x3006B"},            // digits with too few frames
        {0x5008B, entryOf(0x500C3), "0x5008B"},            // a card without its six boxes
        {0x10000, {0, 0, 0, 0, 0}, "0x10000"},             // a font without a space
        {0x10005, {1, 2, 3}, "0x10005"},                   // not a PNG
        {0x60043, {0, 0, 0, 1}, "0x60043"},                // too few integers
        {0x10002, {0}, "0x10002"},                         // no level file
        {0x60012, entryOf(0x60039), "0x60012"},            // a tile picture of too few tiles
    };
    for (const Breakage& b : cases) {
        SCOPED_TRACE(content::hexId(b.id));
        DataSet data = built();
        const std::string name = PackFile::dataPackName(PackFile::packOf(b.id));
        const PackFile& pack = *data.pack(name);
        std::vector<std::vector<std::uint8_t>> entries;
        for (int i = 0; i < pack.count(); ++i) {
            const auto e = pack.entry(i);
            entries.emplace_back(e.begin(), e.end());
        }
        entries[static_cast<std::size_t>(PackFile::entryOf(b.id))] = b.bytes;
        data.add(PackFile(name, PackFile::write(entries)));
        const auto problems = checkWith(data);
        ASSERT_FALSE(problems.empty());
        bool named = false;
        for (const auto& p : problems) named |= p.find(b.expect) != std::string::npos;
        EXPECT_TRUE(named) << problems[0];
    }
}

// A mistake in a source names the file, the line and the id.
// What the player sees is drawn by the art script: no captioned stand-in
// picture and no hand-written animation comes back with a new id or a merge.
TEST(ContentSources, EveryPictureAndAnimationIsDrawnArt) {
    auto text = [](const fs::path& p) {
        const auto b = slurp(p);
        return std::string(b.begin(), b.end());
    };
    const std::string drawn = text(fs::path(CONTENT_WORK) / "art" / "anims.toml");
    const std::regex anim(R"re(anim = "([^"]+)")re"), source(R"re(source = "([^"]+)")re");
    int anims = 0;
    for (const auto& f : filesUnder(fs::path(ASSETS_DIR) / "packs")) {
        const std::string index = text(fs::path(ASSETS_DIR) / "packs" / f);
        EXPECT_EQ(index.find("label ="), std::string::npos) << f << " has a captioned stand-in picture";
        for (std::sregex_iterator m(index.begin(), index.end(), anim), end; m != end; ++m, ++anims)
            EXPECT_NE(drawn.find("[anim." + (*m)[1].str() + "]"), std::string::npos) << (*m)[1] << " is not drawn";
        for (std::sregex_iterator m(index.begin(), index.end(), source), end; m != end; ++m)
            EXPECT_EQ((*m)[1].str().rfind("@art/", 0), 0u) << f << ": " << (*m)[1] << " is not drawn by the art script";
    }
    EXPECT_GT(anims, 200);
    for (const auto& f : filesUnder(fs::path(ASSETS_DIR) / "anims"))
        EXPECT_EQ(text(fs::path(ASSETS_DIR) / "anims" / f).find("[anim."), std::string::npos) << f;
}

TEST(ContentSources, ErrorsNameFileLineAndId) {
    const std::string dir = testsupport::makeTempDir("content-src");
    fs::copy(ASSETS_DIR, dir, fs::copy_options::recursive);
    const fs::path index = fs::path(dir) / "packs" / "r3.toml";
    std::string text(reinterpret_cast<const char*>(slurp(index).data()), slurp(index).size());
    const std::string from = "effect = \"click\"";
    ASSERT_NE(text.find(from), std::string::npos);
    const auto line = std::count(text.begin(), text.begin() + static_cast<long>(text.find(from)), '\n') + 1;
    text.replace(text.find(from), from.size(), "effect = \"clack\"");
    content::writeFile(index, std::vector<std::uint8_t>(text.begin(), text.end()));
    const auto r = tool({"build", dir, dir + "/out", CONTENT_WORK});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("r3.toml"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" " + std::to_string(line) + " |"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("0x30001"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("clack"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir + "/out/r1"));
    fs::remove_all(dir);
}

}  // namespace

namespace {

TEST(ContentManifest, ClassIsReadAsTheLauncherReadsIt) {
    auto bytes = [](const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); };
    EXPECT_EQ(content::manifestClass(bytes("Manifest-Version: 1.0\r\nMIDlet-1: Game, /icon.png, Brindle\r\nX: y\r\n")), "Brindle");
    EXPECT_EQ(content::manifestClass(bytes("MIDlet-1: Game, /icon.png,  Brindle \n")), "Brindle");
    EXPECT_EQ(content::manifestClass(bytes("MIDlet-1: Game, Brindle\r\n")), "");
    EXPECT_EQ(content::manifestClass(bytes("MIDlet-2: a, b, Brindle\r\n")), "");
    EXPECT_EQ(content::manifestClass(content::readFile(std::string(RESOURCE_DIR) + "/META-INF/MANIFEST.MF")), "Brindle");
}

}  // namespace
