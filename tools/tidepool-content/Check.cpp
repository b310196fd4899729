// The catalogue check: every id the game reads is present and has the
// structure the code relies on. Problems are collected, not thrown, so one
// run reports them all.
#include <algorithm>
#include <set>

#include "Data.h"
#include "LevelCheck.h"
#include "Pictures.h"
#include "TarvokinEmu/PNGReader.h"
#include "game/SpriteSheet.h"
#include "game/format/GameFontData.h"
#include "java/lang/Throwable.h"

namespace content {

using game::SpriteSheet;
using game::format::AnimationData;
using game::format::Animation;

namespace {

std::string what(const std::exception& e) {
    if (const auto* t = dynamic_cast<const java::lang::Throwable*>(&e)) return t->toString();
    return e.what();
}

class Checker {
public:
    Checker(const DataSet& d, const Value& cat) : data_(d), cat_(cat) {}

    std::vector<std::string> run() {
        checkPacks();
        if (const Value* entries = lookup(cat_, "entry"))
            for (const auto& e : entries->as_array()) checkEntry(e);
        checkTexts();
        checkLevels();
        return problems_;
    }

private:
    void problem(std::int32_t id, const std::string& msg) { problems_.push_back(hexId(id) + ": " + msg); }
    void problem(const std::string& msg) { problems_.push_back(msg); }

    void checkPacks() {
        const Value* packs = lookup(cat_, "packs");
        if (!packs) return;
        for (const auto& [name, minimum] : packs->as_table()) {
            const auto* p = data_.pack(name);
            if (!p) problem("pack " + name + " is missing");
            else if (p->count() < intOf(minimum)) problem("pack " + name + " has " + std::to_string(p->count()) + " entries, the game reads up to " + std::to_string(intOf(minimum) - 1));
        }
    }

    void checkRawUse(std::int32_t owner, std::int32_t rawId, int selector, int flip, int scale) {
        const auto key = std::make_tuple(rawId, selector, flip, scale);
        if (!checkedRaw_.insert(key).second) return;
        if (!data_.has(rawId)) return problem(owner, "names picture " + hexId(rawId) + ", which does not exist");
        try {
            const auto e = data_.entry(rawId);
            const int p = selector & 0x7FF;
            if (p < SpriteSheet::PALETTE_RGB) {
                const auto& pals = data_.palettes();
                if (static_cast<std::size_t>(p) >= pals.size()) return problem(owner, "picture " + hexId(rawId) + " with palette " + std::to_string(p) + " of " + std::to_string(pals.size()));
                const int w = SpriteSheet::rawWidth(e), h = SpriteSheet::rawHeight(e);
                const std::size_t n = static_cast<std::size_t>(w) * h;
                if (w < 1 || h < 1 || e.size() < 12 + n) return problem(owner, "picture " + hexId(rawId) + " is not an indexed picture of " + std::to_string(w) + " x " + std::to_string(h));
                const auto px = e.subspan(12, n);
                const int maxIndex = *std::max_element(px.begin(), px.end());
                if (static_cast<std::size_t>(maxIndex) >= pals[static_cast<std::size_t>(p)].size()) return problem(owner, "picture " + hexId(rawId) + " uses colour " + std::to_string(maxIndex) + ", palette " + std::to_string(p) + " has " + std::to_string(pals[static_cast<std::size_t>(p)].size()));
                const auto sums = SpriteSheet::indexedChecksums(px, w, h);
                if (!std::equal(sums.begin(), sums.end(), e.begin() + 4)) return problem(owner, "picture " + hexId(rawId) + " stores wrong checksums");
            }
            data_.rawPicture(rawId, selector, flip, scale);
        } catch (const std::exception& ex) {
            problem(owner, "picture " + hexId(rawId) + ": " + what(ex));
        }
    }

    void checkEntry(const Value& c) {
        const std::int32_t id = intAt(c, "id");
        const std::string kind = stringAt(c, "kind");
        if (!data_.has(id)) return problem(id, "missing (" + kind + ")");
        const auto e = data_.entry(id);
        try {
            if (kind == "anim") checkAnim(id, c, e);
            else if (kind == "png") {
                if (sniffKind("", e) != "png") return problem(id, "is not a PNG");
                TarvokinEmu::PNGReader::decode(e);
            } else if (kind == "desc") {
                if (e.size() < 6) return problem(id, "descriptor shorter than 6 bytes");
                const std::int32_t raw = static_cast<std::int32_t>((std::uint32_t{e[1]} << 24) | (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[3]} << 8) | e[4]);
                checkRawUse(id, raw, e[5], 0, 1);
                if (const Value* tiles = lookup(c, "tiles")) checkTiles(id, *tiles, data_.rawPicture(raw, e[5], 0, 1));
            } else if (kind == "paltab") {
                for (std::int32_t p : SpriteSheet::paletteTableIds(e)) {
                    if (!data_.has(p)) problem(id, "lists palette " + hexId(p) + ", which does not exist");
                    else if (data_.entry(p).size() < 6) problem(id, "palette " + hexId(p) + " has fewer than two colours");
                }
            } else if (kind == "font") {
                checkFont(id, c, e);
            } else if (kind == "wav") {
                if (sniffKind("", e) != "wav" || e.size() < 44 || std::string(e.begin() + 8, e.begin() + 12) != "WAVE") problem(id, "is not a WAV file");
            } else if (kind == "mp3") {
                if (sniffKind("", e) != "mp3") problem(id, "is not an MP3 file");
                if (e.size() >= 10u << 20) problem(id, "is 10 MiB or more");
            } else if (kind == "ints") {
                if (static_cast<int>(e.size()) != 4 * intAt(c, "count")) problem(id, "holds " + std::to_string(e.size()) + " bytes, not " + std::to_string(intAt(c, "count")) + " integers");
            } else if (kind == "level") {
                // checked with the [level] table
            } else {
                fail(c, "unknown catalogue kind " + kind);
            }
        } catch (const ContentError&) {
            throw;
        } catch (const std::exception& ex) {
            problem(id, what(ex));
        }
    }

    void checkAnim(std::int32_t id, const Value& c, std::span<const std::uint8_t> e) {
        const Animation a = AnimationData::parse(e);
        AnimationData::decode(e, [](std::int32_t, int, int, int) { return 0; });
        const int count = static_cast<int>(a.frames.size());
        int total = 0;
        for (int f = 0; f < count; ++f) {
            const auto& fr = a.frames[static_cast<std::size_t>(f)];
            if (fr.duration <= 0) problem(id, "frame " + std::to_string(f) + " lasts " + std::to_string(fr.duration) + " ms");
            total += fr.duration;
            for (const auto& el : fr.elements) {
                if (el.type > 4) problem(id, "frame " + std::to_string(f) + " has an element of type " + std::to_string(el.type));
                if (el.type == 4 && el.coords[2] < 1) problem(id, "frame " + std::to_string(f) + " has an ellipse with rx < 1");
                if (el.type == 0) checkRawUse(id, el.imageId, el.palette, el.flip, el.scale);
            }
        }
        auto own = [&](int f) -> const game::format::AnimFrame& {
            const auto& fr = a.frames[static_cast<std::size_t>(f)];
            return fr.ref == -1 ? fr : a.frames[static_cast<std::size_t>(fr.ref)];
        };
        if (const Value* v = lookup(c, "frames"); v && count != intOf(*v)) problem(id, std::to_string(count) + " frames, needs exactly " + std::to_string(intOf(*v)));
        if (const Value* v = lookup(c, "min_frames"); v && count < intOf(*v)) problem(id, std::to_string(count) + " frames, needs at least " + std::to_string(intOf(*v)));
        if (const Value* v = lookup(c, "frame0_boxes"); v && static_cast<int>(own(0).boxes.size()) < intOf(*v)) problem(id, "frame 0 needs " + std::to_string(intOf(*v)) + " boxes");
        if (const Value* v = lookup(c, "frame0_box_kinds")) {
            const std::vector<int> kinds = intsOf(*v);
            const auto& boxes = own(0).boxes;
            bool ok = boxes.size() >= kinds.size();
            for (std::size_t i = 0; ok && i < kinds.size(); ++i) ok = boxes[i].kind == kinds[i];
            if (!ok) problem(id, "frame 0 boxes must have the kinds " + toml::format(*v));
        }
        if (const Value* v = lookup(c, "boxes_every_frame"))
            for (int f = 0; f < count; ++f)
                if (static_cast<int>(own(f).boxes.size()) < intOf(*v)) problem(id, "frame " + std::to_string(f) + " has no hit box");
        if (const Value* v = lookup(c, "max_total_ms"); v && total > intOf(*v)) problem(id, "plays " + std::to_string(total) + " ms, must end within " + std::to_string(intOf(*v)));
        if (const Value* v = lookup(c, "min_extent")) {
            const auto m = intsOf(*v);
            if (a.extentX < m.at(0) || a.extentY < m.at(1)) problem(id, "extent " + std::to_string(a.extentX) + " x " + std::to_string(a.extentY) + " below the minimum");
        }
        if (const Value* v = lookup(c, "same_frames_as")) {
            const std::int32_t other = intOf(*v);
            if (data_.has(other) && static_cast<int>(AnimationData::parse(data_.entry(other)).frames.size()) != count) problem(id, "needs as many frames as " + hexId(other));
        }
        if (const Value* v = lookup(c, "same_extent_y_as")) {
            const std::int32_t other = intOf(*v);
            if (data_.has(other) && AnimationData::parse(data_.entry(other)).extentY != a.extentY) problem(id, "needs the extentY of " + hexId(other));
        }
    }

    // A tile picture: a grid of cells, enough of them, the first one clear
    // (it is drawn on every empty cell).
    void checkTiles(std::int32_t id, const Value& t, const platform::Picture& pic) {
        const int w = intAt(t, "cell_width"), h = intAt(t, "cell_height");
        const int cells = (pic.width / w) * (pic.height / h);
        if (cells < intAt(t, "min_cells")) problem(id, "holds " + std::to_string(cells) + " tiles, needs " + std::to_string(intAt(t, "min_cells")));
        for (int y = 0; y < std::min(h, pic.height); ++y)
            for (int x = 0; x < std::min(w, pic.width); ++x)
                if (pic.pixels[static_cast<std::size_t>(y) * pic.width + x] >> 24) return problem(id, "tile 0 is not fully transparent");
    }

    void checkFont(std::int32_t id, const Value& c, std::span<const std::uint8_t> e) {
        const auto font = game::format::GameFontData::decode(e);
        std::set<int> codes;
        for (const auto& g : font.glyphs) codes.insert(g.code);
        if (!codes.count(32)) problem(id, "has no space glyph");
        fonts_[id] = codes;
        const std::int32_t picId = intAt(c, "picture");
        if (!data_.has(picId)) return problem(id, "its glyph picture " + hexId(picId) + " is missing");
        const platform::Picture pic = TarvokinEmu::PNGReader::decode(data_.entry(picId));
        for (const auto& g : font.glyphs) {
            if (g.srcX + g.advance > pic.width || g.srcY + g.height > pic.height || g.srcY < 0) {
                problem(id, "glyph " + std::to_string(g.code) + " lies outside its picture " + hexId(picId));
                break;
            }
        }
    }

    void checkTexts() {
        const Value* t = lookup(cat_, "texts");
        if (!t) return;
        const std::string packName = stringAt(*t, "pack");
        const auto* p = data_.pack(packName);
        if (!p) return problem("text pack " + packName + " is missing");
        std::vector<std::string> texts;
        for (int i = 0; i < p->count(); ++i) {
            try {
                texts.push_back(game::format::TextEntry::decode(p->entry(i)));
            } catch (const std::exception& ex) {
                problem("text " + std::to_string(i) + ": " + what(ex));
                texts.emplace_back();
            }
        }
        for (int id : intsAt(*t, "required"))
            if (id >= static_cast<int>(texts.size()) || texts[static_cast<std::size_t>(id)].empty()) problem("text " + std::to_string(id) + " is missing or empty");
        const int namesId = intAt(*t, "level_names");
        if (namesId < static_cast<int>(texts.size())) {
            const std::string& names = texts[static_cast<std::size_t>(namesId)];
            const int want = intAt(*t, "level_count");
            const int got = static_cast<int>(std::count(names.begin(), names.end(), '|')) + 1;
            if (got != want) problem("text " + std::to_string(namesId) + " holds " + std::to_string(got) + " level names, the browser shows " + std::to_string(want));
        }
        for (const auto& [fontId, codes] : fonts_) {
            for (std::size_t i = 0; i < texts.size(); ++i) {
                for (char32_t ch : utf8Codes(texts[i])) {
                    if (ch != '|' && !codes.count(static_cast<int>(ch))) {
                        problem("text " + std::to_string(i) + ": font " + hexId(fontId) + " has no glyph for U+" + hexId(static_cast<std::int32_t>(ch)).substr(2));
                        break;
                    }
                }
            }
        }
    }

    void checkLevels() {
        const Value* l = lookup(cat_, "level");
        if (!l) return;
        const std::int32_t id = intAt(*l, "id");
        if (!data_.has(id)) return problem(id, "the level file is missing");
        LevelRules rules;
        rules.maps = intAt(*l, "maps");
        rules.tableMap = intAt(*l, "table_map");
        rules.levels = intAt(*l, "levels");
        rules.headerParams = intAt(*l, "header_params");
        rules.maxObjects = intAt(*l, "max_objects");
        rules.minCrashCols = intAt(*l, "min_crash_cols");
        for (const auto& p : checkLevelFile(data_.entry(id), rules)) problem(id, p);
    }

    const DataSet& data_;
    const Value& cat_;
    std::vector<std::string> problems_;
    std::set<std::tuple<std::int32_t, int, int, int>> checkedRaw_;
    std::map<std::int32_t, std::set<int>> fonts_;
};

}  // namespace

std::string manifestClass(const std::vector<std::uint8_t>& manifest) {
    const std::string text(manifest.begin(), manifest.end());
    const std::size_t p = text.find("MIDlet-1:");
    if (p == std::string::npos) return "";
    const std::size_t c1 = text.find(',', p + 1);
    const std::size_t c2 = c1 == std::string::npos ? c1 : text.find(',', c1 + 1);
    if (c2 == std::string::npos) return "";
    std::size_t e = text.find('\r', c2 + 1);
    if (e == std::string::npos) e = text.size();
    std::string name = text.substr(c2 + 1, e - c2 - 1);
    while (!name.empty() && static_cast<unsigned char>(name.back()) <= ' ') name.pop_back();
    std::size_t b = 0;
    while (b < name.size() && static_cast<unsigned char>(name[b]) <= ' ') ++b;
    return name.substr(b);
}

std::vector<std::string> checkCatalogue(const DataSet& data, const Value& catalogue) {
    return Checker(data, catalogue).run();
}

}  // namespace content
