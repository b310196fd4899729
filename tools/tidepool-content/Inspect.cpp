#include "Inspect.h"

#include <cstdio>
#include <iostream>

#include "Data.h"
#include "Loudness.h"
#include "game/SpriteSheet.h"
#include "TarvokinEmu/PNGReader.h"
#include "Pictures.h"
#include "game/format/GameFontData.h"
#include "game/format/LevelFile.h"

namespace content {

using game::format::AnimationData;
using game::format::Animation;
using game::format::LevelFile;
using game::format::PackFile;

namespace {

std::int32_t parseId(const std::string& s) {
    try {
        std::size_t used = 0;
        const unsigned long v = std::stoul(s, &used, 0);
        if (used == s.size() && v <= 0xFFFFFFFFul) return static_cast<std::int32_t>(v);
    } catch (const std::logic_error&) {
    }
    throw std::invalid_argument("not a number: " + s);
}

void need(const std::vector<std::string>& a, std::size_t n, const char* usage) {
    if (a.size() != n) throw std::invalid_argument(usage);
}

int list(const DataSet& data, const fs::path& dataDir, const std::string& arg) {
    const PackFile* p = data.pack(arg);
    std::optional<PackFile> own;
    if (!p) {
        own.emplace(fs::path(arg).filename().string(), readFile(fs::exists(arg) ? fs::path(arg) : dataDir / arg));
        p = &*own;
    }
    const bool text = p->name().rfind("l0_", 0) == 0;
    const int pack = text ? 0 : std::atoi(p->name().c_str() + 1);
    std::printf("%s: %d entries, %zu bytes\n", p->name().c_str(), p->count(), p->size());
    for (int i = 0; i < p->count(); ++i) {
        const auto e = p->entry(i);
        const std::string kind = sniffKind(p->name(), e);
        std::string extra;
        if (text) {
            try {
                extra = game::format::TextEntry::decode(e);
            } catch (const std::exception& ex) {
                extra = std::string("(bad text: ") + ex.what() + ")";
            }
            if (extra.size() > 60) extra = extra.substr(0, 57) + "...";
            std::printf("%5d  text %-3d %-10s %8zu  %s\n", i, i, kind.c_str(), e.size(), extra.c_str());
            continue;
        }
        if (kind == "raw" || kind == "raw-direct")
            extra = std::to_string(game::SpriteSheet::rawWidth(e)) + " x " + std::to_string(game::SpriteSheet::rawHeight(e));
        else if (kind == "anim") extra = std::to_string(AnimationData::parse(e).frames.size()) + " frames";
        std::printf("%5d  %-9s %-10s %8zu  %s\n", i, hexId(PackFile::idOf(pack, i)).c_str(), kind.c_str(), e.size(), extra.c_str());
    }
    return 0;
}

void printAnim(const Animation& a) {
    std::printf("%s, %s; ref (%d, %d), extent %d x %d, %zu frames\n", a.timed ? "timed" : "untimed",
                a.compact ? "compact" : "full", a.refX, a.refY, a.extentX, a.extentY, a.frames.size());
    for (std::size_t f = 0; f < a.frames.size(); ++f) {
        const auto& fr = a.frames[f];
        std::printf("frame %zu: %d ms", f, fr.duration);
        if (fr.ref != -1) {
            std::printf(", same as frame %d\n", fr.ref);
            continue;
        }
        std::printf("\n");
        for (const auto& b : fr.boxes) std::printf("  box kind %d at (%d, %d) %d x %d\n", b.kind, b.x, b.y, b.width, b.height);
        for (const auto& e : fr.elements) {
            switch (e.type) {
                case 0: std::printf("  image %s palette %d at (%d, %d) flip %d scale %d\n", hexId(e.imageId).c_str(), e.palette, e.dx, e.dy, e.flip, e.scale); break;
                case 1: case 2: std::printf("  %s #%06X (%d, %d) %d x %d\n", e.type == 1 ? "fill" : "outline", e.rgb(), e.coords[0], e.coords[1], e.coords[2], e.coords[3]); break;
                case 3: std::printf("  line #%06X (%d, %d) to (%d, %d)\n", e.rgb(), e.coords[0], e.coords[1], e.coords[2], e.coords[3]); break;
                case 4: std::printf("  ellipse #%06X centre (%d, %d) radius %d x %d\n", e.rgb(), e.coords[0], e.coords[1], e.coords[2], e.coords[3]); break;
                default: std::printf("  type %d (draws nothing)\n", e.type);
            }
        }
    }
}

int animSheet(const DataSet& data, std::int32_t id, const fs::path& out) {
    const Animation a = AnimationData::parse(data.entry(id));
    // Size each cell from what the frames draw and their boxes, relative to
    // the reference point.
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    auto grow = [&](int x0, int y0, int x1, int y1) {
        minX = std::min({minX, x0, x1});
        minY = std::min({minY, y0, y1});
        maxX = std::max({maxX, x0, x1});
        maxY = std::max({maxY, y0, y1});
    };
    for (const auto& f : a.frames) {
        for (const auto& b : f.boxes) grow(b.x, b.y, b.x + b.width, b.y + b.height);
        for (const auto& e : f.elements) {
            const auto& c = e.coords;
            if (e.type == 0) {
                const auto raw = data.entry(e.imageId);
                grow(e.dx - a.refX, e.dy - a.refY, e.dx + game::SpriteSheet::rawWidth(raw) * e.scale - a.refX, e.dy + game::SpriteSheet::rawHeight(raw) * e.scale - a.refY);
            } else if (e.type == 3) {
                grow(c[0] - a.refX, c[1] - a.refY, c[2] - a.refX, c[3] - a.refY);
            } else if (e.type == 4) {
                grow(c[0] - c[2] - 1 - a.refX, c[1] - c[3] - a.refY, c[0] + c[2] - a.refX, c[1] + c[3] - a.refY);
            } else {
                grow(c[0] - a.refX, c[1] - a.refY, c[0] + c[2] - a.refX, c[1] + c[3] - a.refY);
            }
        }
    }
    maxX = std::min(maxX, minX + 2048);
    maxY = std::min(maxY, minY + 2048);
    const int cw = maxX - minX + 1 + 8, ch = maxY - minY + 1 + 8;
    const int n = static_cast<int>(a.frames.size());
    const int cols = std::min(n, std::max(1, 1024 / cw));
    const int rows = (n + cols - 1) / cols;
    Rgba sheet(cols * cw, rows * ch);
    for (int f = 0; f < n; ++f) {
        const int cx = (f % cols) * cw, cy = (f / cols) * ch;
        // A light checkerboard shows transparency.
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) sheet.blend(cx + x, cy + y, ((x / 4 + y / 4) & 1) ? 0xFFE8E8E8 : 0xFFD0D0D0);
        drawFrame(sheet, data, a, f, cx + 4 - minX, cy + 4 - minY, true);
    }
    writeFile(out, writePngRgba(sheet));
    std::printf("%s: %d frames, cells %d x %d\n", out.c_str(), n, cw, ch);
    return 0;
}

int level(const DataSet& data, int map) {
    const auto m = LevelFile::read(data.entry(0x10002), map);
    std::printf("map %d: %d x %d cells, %zu records\n", map, m.cols, m.rows, m.records.size());
    for (int r = 0; r < m.rows; ++r) {
        for (int c = 0; c < m.cols; ++c) {
            const int code = static_cast<std::uint8_t>(m.cell(c, r));
            if (code == 0) std::printf("  .");
            else std::printf("%3d", code);
        }
        std::printf("\n");
    }
    for (const auto& rec : m.records) {
        std::printf("record %d:", rec.code);
        for (int v : rec.values) std::printf(" %d", v);
        std::printf("\n");
    }
    return 0;
}

int levelPng(const DataSet& data, int map, const fs::path& out) {
    const auto m = LevelFile::read(data.entry(0x10002), map);
    const auto desc = data.entry(0x60012);
    if (desc.size() < 6) fail("0x60012 is not a picture descriptor");
    const std::int32_t raw = static_cast<std::int32_t>((std::uint32_t{desc[1]} << 24) | (std::uint32_t{desc[2]} << 16) | (std::uint32_t{desc[3]} << 8) | desc[4]);
    const platform::Picture tiles = data.rawPicture(raw, desc[5], 0, 1);
    const int perRow = tiles.width / 40;
    Rgba img(m.cols * 40, m.rows * 32);
    img.fillRect(0, 0, img.width, img.height, 0xFF8ED1E6);
    for (int r = 0; r < m.rows; ++r)
        for (int c = 0; c < m.cols; ++c) {
            const int code = static_cast<std::uint8_t>(m.cell(c, r));
            if (code == 0 || perRow == 0) continue;
            const int tx = (code % perRow) * 40, ty = (code / perRow) * 32;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 40; ++x)
                    if (tx + x < tiles.width && ty + y < tiles.height) img.blend(c * 40 + x, r * 32 + y, tiles.pixels[static_cast<std::size_t>(ty + y) * tiles.width + tx + x]);
        }
    // Records that place something: a marker at their cell.
    for (const auto& rec : m.records) {
        std::uint32_t colour = 0;
        int c = -1, r = -1;
        switch (rec.code) {
            case LevelFile::Header: colour = 0xFF2ECC40; c = rec.values[0]; r = rec.values[1]; break;
            case LevelFile::Bumper: colour = 0xFFFF851B; c = rec.values[0]; r = rec.values[1]; break;
            case LevelFile::Object: colour = 0xFFFF4136; c = rec.values[1]; r = rec.values[2]; break;
            case LevelFile::Decoration: colour = 0xFF7FDBFF; c = rec.values[0]; r = rec.values[1]; break;
            case LevelFile::Switch: colour = 0xFFB10DC9; c = rec.values[0]; r = rec.values[1]; break;
            case LevelFile::Finale: colour = 0xFFFFDC00; c = rec.values[13]; r = rec.values[14]; break;
            case LevelFile::Bat: colour = 0xFF001F3F; c = rec.values[0]; r = rec.values[1]; break;
            case LevelFile::Drop: colour = 0xFF3D9970; c = rec.values[0]; r = rec.values[1]; break;
            default: break;
        }
        if (colour && c >= 0 && r >= 0) {
            img.fillRect(c * 40 + 12, r * 32 + 8, 16, 16, colour);
            img.fillRect(c * 40 + 16, r * 32 + 12, 8, 8, 0xFFFFFFFF);
        }
    }
    writeFile(out, writePngRgba(img));
    std::printf("%s: map %d, %d x %d cells\n", out.c_str(), map, m.cols, m.rows);
    return 0;
}

// A line of text drawn as the game draws with a bitmap font: each glyph
// clipped to its cell, the pen moved by advance plus spacing.
Rgba fontSample(const DataSet& data, std::int32_t fontId, std::int32_t pictureId, const std::string& text) {
    const auto font = game::format::GameFontData::decode(data.entry(fontId));
    const platform::Picture pic = TarvokinEmu::PNGReader::decode(data.entry(pictureId));
    std::map<int, const game::format::GameGlyph*> byCode;
    for (const auto& g : font.glyphs) byCode[g.code] = &g;
    const std::u32string codes = utf8Codes(text);
    int width = 8;
    for (char32_t c : codes) {
        auto it = byCode.count(static_cast<int>(c)) ? byCode.find(static_cast<int>(c)) : byCode.find(32);
        if (it != byCode.end()) width += it->second->advance + font.spacing;
    }
    Rgba img(std::max(width, 1), font.ascent + font.descent + 8);
    img.fillRect(0, 0, img.width, img.height, 0xFF5FB8E6);
    int pen = 4;
    const int baseline = 4 + font.ascent;
    for (char32_t c : codes) {
        auto it = byCode.count(static_cast<int>(c)) ? byCode.find(static_cast<int>(c)) : byCode.find(32);
        if (it == byCode.end()) continue;
        const auto& g = *it->second;
        if (c != 32) {
            const int top = baseline - g.top;
            for (int y = 0; y < g.height; ++y)
                for (int x = 0; x < g.advance; ++x) {
                    const int sx = g.srcX + x, sy = g.srcY + y;
                    if (sx < pic.width && sy < pic.height) img.blend(pen + x, top + y, pic.pixels[static_cast<std::size_t>(sy) * pic.width + sx]);
                }
        }
        pen += g.advance + font.spacing;
    }
    return img;
}

int render(const DataSet& data, std::int32_t id, const fs::path& out, const std::vector<std::string>& extra) {
    const auto e = data.entry(id);
    const std::string kind = sniffKind(PackFile::dataPackName(PackFile::packOf(id)), e);
    std::vector<std::uint8_t> png;
    if (kind == "png") {
        png.assign(e.begin(), e.end());
    } else if (kind == "desc") {
        const std::int32_t raw = static_cast<std::int32_t>((std::uint32_t{e[1]} << 24) | (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[3]} << 8) | e[4]);
        png = data.rawPng(raw, e[5], 0, 1);
    } else if (kind == "raw" || kind == "raw-direct") {
        const std::size_t n = static_cast<std::size_t>(game::SpriteSheet::rawWidth(e)) * game::SpriteSheet::rawHeight(e);
        png = data.rawPng(id, kind == "raw" ? 0 : e.size() == 4 + 4 * n ? 255 : 254, 0, 1);
    } else if (kind == "anim") {
        return animSheet(data, id, out);
    } else if (kind == "level") {
        return levelPng(data, 0, out);
    } else if (kind == "font") {
        if (extra.empty()) throw std::invalid_argument("render FONT_ID OUT.png PICTURE_ID");
        png = writePngRgba(fontSample(data, id, parseId(extra[0]), "Tidepool Dash: bat 27 crabs out! (x3) 0123456789"));
    } else if (kind == "palette" || kind == "paltab") {
        const auto& pals = data.palettes();
        std::size_t most = 0;
        for (const auto& p : pals) most = std::max(most, p.size());
        Rgba img(static_cast<int>(std::max<std::size_t>(most, 1)) * 12, static_cast<int>(std::max<std::size_t>(pals.size(), 1)) * 12);
        for (std::size_t r = 0; r < pals.size(); ++r)
            for (std::size_t c = 0; c < pals[r].size(); ++c)
                img.fillRect(static_cast<int>(c) * 12, static_cast<int>(r) * 12, 12, 12, 0xFF000000u | (static_cast<std::uint32_t>(pals[r][c]) >> 8));
        png = writePngRgba(img);
    } else {
        fail(hexId(id) + " is " + kind + ", not something to draw");
    }
    writeFile(out, png);
    std::printf("%s: %s %s, %zu bytes\n", out.c_str(), kind.c_str(), hexId(id).c_str(), png.size());
    return 0;
}

// The measures a mix is judged by, of an entry or a sound file, decoded
// by the game's own decoders.
int sound(const DataSet* data, const std::string& what) {
    std::vector<std::uint8_t> bytes;
    if (fs::exists(what)) {
        bytes = readFile(what);
    } else {
        const auto e = data->entry(parseId(what));
        bytes.assign(e.begin(), e.end());
    }
    const Sound s = decodeSound(bytes);
    const Loudness l = measureLoudness(s);
    const auto bands = bandShares(s);
    std::printf("%s: %d Hz, %d channels, %.3f s (%zu frames)\n", what.c_str(), s.rate, s.channels, s.seconds(), s.frames());
    std::printf("  peak %.2f dBFS, loudness %.2f LUFS (loudest 400 ms %.2f)\n", toDb(s.peak()), l.integrated, l.maxMomentary);
    std::printf("  first and last sample %.4f %.4f; at the loop seam a step of %.2f dB over 50 ms, %.2f LU over 400 ms\n",
                s.samples.front(), s.samples.back(), seamStepDb(s), seamLoudnessStep(s));
    std::printf("  energy under 250 Hz %.0f %%, 250..2000 Hz %.0f %%, over 2000 Hz %.0f %%\n", 100 * bands[0], 100 * bands[1], 100 * bands[2]);
    return 0;
}

}  // namespace

int inspect(const std::string& command, const std::vector<std::string>& a, const fs::path& dataDir) {
    if (command == "list") {
        need(a, 1, "list PACK");
        const DataSet data = DataSet::load(dataDir);
        return list(data, dataDir, a[0]);
    }
    if (command == "extract") {
        need(a, 2, "extract ID OUT");
        const DataSet data = DataSet::load(dataDir);
        std::span<const std::uint8_t> e;
        if (!a[0].empty() && a[0][0] == 't') {
            const int id = parseId(a[0].substr(1));
            const auto* p = data.pack(PackFile::textPackName(id >> 16));
            if (!p) fail("no text pack for text " + a[0].substr(1));
            e = p->entry(id & 0xFFFF);
        } else {
            e = data.entry(parseId(a[0]));
        }
        writeFile(a[1], std::vector<std::uint8_t>(e.begin(), e.end()));
        std::printf("%s: %zu bytes\n", a[1].c_str(), e.size());
        return 0;
    }
    if (command == "anim") {
        need(a, 1, "anim ID");
        printAnim(AnimationData::parse(DataSet::load(dataDir).entry(parseId(a[0]))));
        return 0;
    }
    if (command == "anim-sheet") {
        need(a, 2, "anim-sheet ID OUT.png");
        return animSheet(DataSet::load(dataDir), parseId(a[0]), a[1]);
    }
    if (command == "level") {
        need(a, 1, "level MAP");
        return level(DataSet::load(dataDir), parseId(a[0]));
    }
    if (command == "level-png") {
        need(a, 2, "level-png MAP OUT.png");
        return levelPng(DataSet::load(dataDir), parseId(a[0]), a[1]);
    }
    if (command == "render") {
        if (a.size() != 2 && a.size() != 3) throw std::invalid_argument("render ID OUT.png [PICTURE_ID]");
        return render(DataSet::load(dataDir), parseId(a[0]), a[1], std::vector<std::string>(a.begin() + 2, a.end()));
    }
    if (command == "sound") {
        need(a, 1, "sound ID|FILE");
        if (fs::exists(a[0])) return sound(nullptr, a[0]);
        const DataSet data = DataSet::load(dataDir);
        return sound(&data, a[0]);
    }
    if (command == "image") {
        need(a, 5, "image RAW_ID SELECTOR FLIP SCALE OUT.png");
        const auto png = DataSet::load(dataDir).rawPng(parseId(a[0]), parseId(a[1]), parseId(a[2]), parseId(a[3]));
        writeFile(a[4], png);
        std::printf("%s: %zu bytes\n", a[4].c_str(), png.size());
        return 0;
    }
    throw std::invalid_argument("unknown command " + command);
}

}  // namespace content
