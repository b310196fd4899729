#include "Data.h"

#include <algorithm>
#include <cstdlib>

#include "TarvokinEmu/PNGReader.h"
#include "game/SpriteSheet.h"
#include "game/format/GameFontData.h"
#include "game/format/LevelFile.h"
#include "java/lang/Throwable.h"

namespace content {

using game::SpriteSheet;
using game::format::AnimationData;
using game::format::AnimElement;
using game::format::Animation;
using game::format::PackFile;

DataSet DataSet::load(const fs::path& dir) {
    DataSet d;
    if (!fs::is_directory(dir)) fail(dir.string() + " is not a folder");
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& p : files) {
        const std::string n = p.filename().string();
        const bool data = n.size() >= 2 && n[0] == 'r' && n.find_first_not_of("0123456789", 1) == std::string::npos;
        const bool text = n.rfind("l0_", 0) == 0 && n.size() > 3 && n.find_first_not_of("0123456789", 3) == std::string::npos;
        if (!data && !text) continue;
        try {
            d.add(PackFile(n, readFile(p)));
        } catch (const java::lang::Throwable& t) {
            fail(t.getMessage());
        }
    }
    return d;
}

void DataSet::add(PackFile pack) {
    const std::string name = pack.name();
    packs_.erase(name);
    packs_.emplace(name, std::move(pack));
    palettes_.reset();
}

const PackFile* DataSet::pack(const std::string& name) const {
    auto it = packs_.find(name);
    return it == packs_.end() ? nullptr : &it->second;
}

bool DataSet::has(std::int32_t id) const {
    const PackFile* p = pack(PackFile::dataPackName(PackFile::packOf(id)));
    return p && PackFile::entryOf(id) < p->count();
}

std::span<const std::uint8_t> DataSet::entry(std::int32_t id) const {
    const PackFile* p = pack(PackFile::dataPackName(PackFile::packOf(id)));
    if (!p) fail(hexId(id) + ": there is no pack " + PackFile::dataPackName(PackFile::packOf(id)));
    if (PackFile::entryOf(id) >= p->count()) fail(hexId(id) + ": pack " + p->name() + " has only " + std::to_string(p->count()) + " entries");
    return p->entry(PackFile::entryOf(id));
}

std::string DataSet::text(int id) const {
    const PackFile* p = pack(PackFile::textPackName(id >> 16));
    if (!p || (id & 0xFFFF) >= p->count()) fail("text " + std::to_string(id) + " does not exist");
    return game::format::TextEntry::decode(p->entry(id & 0xFFFF));
}

const std::vector<std::vector<std::int32_t>>& DataSet::palettes() const {
    if (!palettes_) {
        palettes_.emplace();
        if (has(0x60042)) {
            for (std::int32_t id : SpriteSheet::paletteTableIds(entry(0x60042))) palettes_->push_back(SpriteSheet::paletteFromEntry(entry(id)));
        }
    }
    return *palettes_;
}

std::vector<std::uint8_t> DataSet::rawPng(std::int32_t rawId, int selector, int flip, int scale) const {
    const auto e = entry(rawId);
    const int w = SpriteSheet::rawWidth(e), h = SpriteSheet::rawHeight(e);
    const int p = selector & 0x7FF;
    if (p == SpriteSheet::PALETTE_RGB || p == SpriteSheet::PALETTE_RGBA) {
        return SpriteSheet::buildPng({}, e, w, h, p, SpriteSheet::DIRECT_HEADER, flip, scale);
    }
    const auto& pals = palettes();
    if (static_cast<std::size_t>(p) >= pals.size()) fail(hexId(rawId) + ": palette selector " + std::to_string(p) + " beyond the " + std::to_string(pals.size()) + " palettes");
    return SpriteSheet::buildPng(pals[static_cast<std::size_t>(p)], e, w, h, SpriteSheet::FORMAT_INDEXED, SpriteSheet::INDEXED_HEADER, flip, scale);
}

platform::Picture DataSet::rawPicture(std::int32_t rawId, int selector, int flip, int scale) const {
    return TarvokinEmu::PNGReader::decode(rawPng(rawId, selector, flip, scale));
}

std::string sniffKind(const std::string& packName, std::span<const std::uint8_t> e) {
    if (packName.rfind("l0_", 0) == 0) return "text";
    if (e.empty()) return "empty";
    auto starts = [&](std::initializer_list<std::uint8_t> sig) {
        return e.size() >= sig.size() && std::equal(sig.begin(), sig.end(), e.begin());
    };
    if (starts({0x89, 'P', 'N', 'G'})) return "png";
    if (starts({'R', 'I', 'F', 'F'})) return "wav";
    if (starts({'I', 'D', '3'}) || (e.size() > 2 && e[0] == 0xFF && (e[1] & 0xE0) == 0xE0)) return "mp3";
    if (e.size() == 6 && e[0] == 0) return "desc";
    try {
        const Animation a = AnimationData::parse(e);
        if (AnimationData::decodedLength(a) == (((e[0] << 8) | e[1]) & 0x3FFF) && AnimationData::encode(a).size() == e.size()) return "anim";
    } catch (const std::exception&) {
    }
    if (e.size() >= 12) {
        const int w = SpriteSheet::rawWidth(e), h = SpriteSheet::rawHeight(e);
        if (w > 0 && h > 0) {
            const std::size_t n = static_cast<std::size_t>(w) * h;
            if (e.size() == 12 + n) return "raw";
            if (e.size() == 4 + 3 * n || e.size() == 4 + 4 * n) return "raw-direct";
        }
    }
    try {
        const auto ids = SpriteSheet::paletteTableIds(e);
        if (e.size() == 4 + 4 * ids.size() && !ids.empty()) return "paltab";
    } catch (const std::exception&) {
    }
    try {
        const auto f = game::format::GameFontData::decode(e);
        if (game::format::GameFontData::encode(f).size() == e.size()) return "font";
    } catch (const std::exception&) {
    }
    try {
        if (e.size() > 5 && e[0] == 0 && game::format::LevelFile::mapCount(e) > 0) {
            game::format::LevelFile::read(e, 0);
            return "level";
        }
    } catch (const std::exception&) {
    }
    if (e.size() % 3 == 0 && e.size() <= 768) return "palette";
    return "data";
}

void blitPicture(Rgba& img, const platform::Picture& pic, int x, int y) {
    for (int j = 0; j < pic.height; ++j)
        for (int i = 0; i < pic.width; ++i) img.blend(x + i, y + j, pic.pixels[static_cast<std::size_t>(j) * pic.width + i]);
}

namespace {

void line(Rgba& img, int x1, int y1, int x2, int y2, std::uint32_t c) {
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1), sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        img.blend(x1, y1, c);
        if (x1 == x2 && y1 == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x1 += sx; }
        if (e2 <= dx) { err += dx; y1 += sy; }
    }
}

void outline(Rgba& img, int x, int y, int w, int h, std::uint32_t c) {
    line(img, x, y, x + w, y, c);
    line(img, x, y + h, x + w, y + h, c);
    line(img, x, y, x, y + h, c);
    line(img, x + w, y, x + w, y + h, c);
}

// The game's span-filled ellipse.
void ellipse(Rgba& img, int cx, int cy, int rx, int ry, std::uint32_t c) {
    if (ry < 0 || rx < 1) return;
    const long long q0 = static_cast<long long>(ry) * 256 / rx;
    const long long q = q0 * q0;
    for (int d = -ry; d <= 0; ++d) {
        const long long limit = static_cast<long long>(ry) * ry - static_cast<long long>(d) * d;
        for (int w = rx; w >= 0; --w) {
            if (((static_cast<long long>(w) * w * q) >> 16) <= limit) {
                img.fillRect(cx - w, cy + d, 2 * w + 1, 1, c);
                img.fillRect(cx - w, cy - d, 2 * w + 1, 1, c);
                break;
            }
        }
    }
}

}  // namespace

void drawFrame(Rgba& img, const DataSet& data, const Animation& a, int frame, int x, int y, bool showBoxes) {
    const auto& f0 = a.frames.at(static_cast<std::size_t>(frame));
    const auto& f = f0.ref == -1 ? f0 : a.frames.at(static_cast<std::size_t>(f0.ref));
    const int x0 = x - a.refX, y0 = y - a.refY;
    for (const AnimElement& e : f.elements) {
        const std::uint32_t c = 0xFF000000u | static_cast<std::uint32_t>(e.rgb());
        switch (e.type) {
            case AnimElement::Image:
                blitPicture(img, data.rawPicture(e.imageId, e.palette, e.flip, e.scale), x0 + e.dx, y0 + e.dy);
                break;
            case AnimElement::FillRect: img.fillRect(x0 + e.coords[0], y0 + e.coords[1], e.coords[2], e.coords[3], c); break;
            case AnimElement::Rect: outline(img, x0 + e.coords[0], y0 + e.coords[1], e.coords[2], e.coords[3], c); break;
            case AnimElement::Line: line(img, x0 + e.coords[0], y0 + e.coords[1], x0 + e.coords[2], y0 + e.coords[3], c); break;
            case AnimElement::Ellipse: ellipse(img, x0 + e.coords[0] - 1, y0 + e.coords[1], e.coords[2], e.coords[3], c); break;
            default: break;
        }
    }
    // Boxes are placed from the reference point, as the game tests them.
    if (showBoxes)
        for (const auto& b : f.boxes) outline(img, x + b.x, y + b.y, std::max(0, b.width - 1), std::max(0, b.height - 1), 0xC0FF00FFu);
}

}  // namespace content
