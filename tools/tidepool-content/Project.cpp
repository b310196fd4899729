#include "Project.h"

#include <algorithm>

#include "Compilers.h"
#include "Pictures.h"
#include "game/SpriteSheet.h"
#include "game/format/GameFontData.h"
#include "java/lang/Throwable.h"

namespace content {

using game::SpriteSheet;
using game::format::AnimationData;
using game::format::AnimElement;
using game::format::AnimFrame;
using game::format::Animation;
using game::format::PackFile;

namespace {

const char* kKinds[] = {"anim", "raw", "png", "desc", "palette", "paltab", "font", "fontpic",
                        "level", "ints", "wav", "mp3", "empty"};

}  // namespace

Project::Project(fs::path assets, fs::path work) : assets_(std::move(assets)), work_(std::move(work)) {
    config_ = parseToml(assets_ / "content.toml", deps_);
    loadPalettes();
    for (const auto& f : need(config_, "packs").as_array()) loadIndex(assets_ / stringOf(f));
    loadAnimations();
}

void Project::loadPalettes() {
    const Value doc = parseToml(assets_ / stringAt(config_, "palettes"), deps_);
    for (const auto& [name, def] : need(doc, "palette").as_table()) {
        PaletteDef p;
        p.name = name;
        const Value& colours = need(def, "colours");
        for (const auto& c : colours.as_array()) p.rgb.push_back(static_cast<std::uint32_t>(colourOf(c)));
        if (p.rgb.size() < 2 || p.rgb.size() > 256) fail(colours, "palette " + name + " needs 2..256 colours");
        palettes_[name] = std::move(p);
    }
    const Value& table = need(doc, "table");
    for (const auto& v : table.as_array()) {
        const std::string name = stringOf(v);
        auto it = palettes_.find(name);
        if (it == palettes_.end()) fail(v, "no palette named " + name);
        if (it->second.selector >= 0) fail(v, "palette " + name + " listed twice");
        it->second.selector = static_cast<int>(paletteTable_.size());
        paletteTable_.push_back(name);
    }
    if (paletteTable_.size() > 254) fail(table, "at most 254 palettes");
}

void Project::loadIndex(const fs::path& file) {
    const Value doc = parseToml(file, deps_);
    const int pack = intAt(doc, "pack");
    auto& list = index_[pack];
    for (const auto& line : need(doc, "entries").as_array()) {
        EntryDef e;
        e.id = intAt(line, "id");
        e.kind = stringAt(line, "kind");
        e.name = stringAt(line, "name", "");
        e.source = line;
        if (PackFile::packOf(e.id) != pack) fail(line, hexId(e.id) + " is not in pack " + std::to_string(pack));
        if (std::find(std::begin(kKinds), std::end(kKinds), e.kind) == std::end(kKinds)) fail(line, hexId(e.id) + ": unknown kind " + e.kind);
        for (const auto& other : list)
            if (other.id == e.id) fail(line, hexId(e.id) + " is defined twice");
        if (!e.name.empty()) {
            if (named_.count(e.name)) fail(line, "the name " + e.name + " is used twice");
            named_[e.name] = e;
        }
        list.push_back(std::move(e));
    }
}

void Project::loadAnimations() {
    for (const auto& f : need(config_, "animations").as_array()) {
        const Value doc = parseToml(assets_ / stringOf(f), deps_);
        for (const auto& [name, def] : need(doc, "anim").as_table()) {
            if (animations_.count(name)) fail(def, "animation " + name + " is defined twice");
            animations_[name] = def;
        }
    }
}

const PaletteDef& Project::palette(const Value& at, const std::string& name) const {
    auto it = palettes_.find(name);
    if (it == palettes_.end()) fail(at, "no palette named " + name);
    if (it->second.selector < 0) fail(at, "palette " + name + " is not in the palette table");
    return it->second;
}

const EntryDef& Project::entryNamed(const Value& at, const std::string& name) const {
    auto it = named_.find(name);
    if (it == named_.end()) fail(at, "no entry named " + name);
    return it->second;
}

int Project::selectorOf(const EntryDef& raw) const {
    const std::string format = stringAt(raw.source, "format", "indexed");
    if (format == "rgb") return SpriteSheet::PALETTE_RGB;
    if (format == "rgba") return SpriteSheet::PALETTE_RGBA;
    return palette(raw.source, stringAt(raw.source, "palette")).selector;
}

void Project::build() {
    for (const auto& [pack, list] : index_) {
        BuiltPack built;
        built.name = PackFile::dataPackName(pack);
        int count = 0;
        for (const auto& e : list) count = std::max(count, PackFile::entryOf(e.id) + 1);
        built.entries.resize(static_cast<std::size_t>(count));
        built.kinds.assign(static_cast<std::size_t>(count), "empty");
        for (const auto& e : list) {
            try {
                built.entries[static_cast<std::size_t>(PackFile::entryOf(e.id))] = buildEntry(e);
            } catch (const java::lang::Throwable& t) {
                fail(e.source, hexId(e.id) + ": " + t.toString());
            } catch (const ContentError& c) {
                // Errors found deeper (in an animation, a font, a sound) name
                // their own file; say which entry needed it.
                throw ContentError("while making " + hexId(e.id) + " (" + e.kind + "):\n" + c.what());
            }
            built.kinds[static_cast<std::size_t>(PackFile::entryOf(e.id))] = e.kind;
        }
        packs_[built.name] = std::move(built);
    }
    buildTexts();
    buildProperties();
    const fs::path manifest = assets_ / stringAt(config_, "manifest");
    deps_.add(manifest);
    files_["META-INF/MANIFEST.MF"] = readFile(manifest);
}

std::vector<std::uint8_t> Project::buildEntry(const EntryDef& e) {
    const Value& s = e.source;
    if (e.kind == "empty") return {};
    if (e.kind == "anim") return buildAnim(e);
    if (e.kind == "raw") return buildRaw(e);
    if (e.kind == "png") return buildPng(e);
    if (e.kind == "desc") {
        const EntryDef& raw = entryNamed(s, stringAt(s, "image"));
        if (raw.kind != "raw") fail(s, hexId(e.id) + ": " + raw.name + " is not a raw picture");
        const int sel = lookup(s, "palette") ? palette(s, stringAt(s, "palette")).selector : selectorOf(raw);
        const auto id = static_cast<std::uint32_t>(raw.id);
        return {0, static_cast<std::uint8_t>(id >> 24), static_cast<std::uint8_t>(id >> 16),
                static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(sel)};
    }
    if (e.kind == "palette") {
        const PaletteDef& p = palette(s, stringAt(s, "palette"));
        std::vector<std::uint8_t> out;
        for (std::uint32_t c : p.rgb) out.insert(out.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});
        return out;
    }
    if (e.kind == "paltab") {
        std::vector<std::int32_t> ids;
        for (const auto& name : paletteTable_) {
            std::int32_t found = -1;
            for (const auto& [pack, list] : index_)
                for (const auto& other : list)
                    if (other.kind == "palette" && stringAt(other.source, "palette") == name) found = other.id;
            if (found < 0) fail(s, "palette " + name + " of the table has no palette entry");
            ids.push_back(found);
        }
        return SpriteSheet::makePaletteTable(ids);
    }
    if (e.kind == "font" || e.kind == "fontpic") {
        const std::string name = stringAt(s, "font");
        auto it = gameFonts_.find(name);
        if (it == gameFonts_.end()) {
            const Value fonts = parseToml(assets_ / stringAt(config_, "fonts"), deps_);
            const Value* def = lookup(need(fonts, "game"), name);
            if (!def) fail(s, "no game font named " + name);
            it = gameFonts_.emplace(name, buildGameFont(name, *def, deps_)).first;
        }
        return e.kind == "font" ? it->second.table : it->second.picture;
    }
    if (e.kind == "level") return compileLevels(assets_ / stringAt(config_, "levels"), deps_);
    if (e.kind == "ints") {
        std::vector<std::uint8_t> out;
        for (int v : intsAt(s, "values")) {
            const auto u = static_cast<std::uint32_t>(v);
            out.insert(out.end(), {static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)});
        }
        return out;
    }
    if (e.kind == "wav") {
        const Value doc = parseToml(assets_ / stringAt(config_, "effects"), deps_);
        const std::string name = stringAt(s, "effect");
        const Value* def = lookup(need(doc, "effect"), name);
        if (!def) fail(s, "no sound effect named " + name);
        return synthEffect(name, *def, need(doc, "level"));
    }
    if (e.kind == "mp3") {
        const std::string tune = stringAt(s, "tune");
        const fs::path file = work_ / "music" / (tune + ".mp3");
        if (!fs::exists(file)) fail(s, hexId(e.id) + ": tune " + tune + " has not been rendered (" + file.string() + ")");
        deps_.add(file);
        return readFile(file);
    }
    fail(s, "unknown kind " + e.kind);
}

Rgba Project::pictureOf(const EntryDef& e) {
    const Value& s = e.source;
    int w = 0, h = 0;
    if (const Value* size = lookup(s, "size")) {
        const std::vector<int> wh = intsOf(*size);
        if (wh.size() != 2) fail(*size, "size is [width, height]");
        w = wh[0];
        h = wh[1];
    }
    if (const Value* label = lookup(s, "label")) {
        // Placeholder art: a rounded tag with the label in dark text.
        if (!labelFace_) {
            const Value fonts = parseToml(assets_ / stringAt(config_, "fonts"), deps_);
            const std::string face = stringAt(need(fonts, "label"), "font");
            deps_.add(face);
            labelFace_ = std::make_unique<FontFace>(face, intAt(need(fonts, "label"), "size"));
        }
        const Rgba text = renderText(*labelFace_, stringOf(*label), 0x1B1B2F, 0, 0);
        const int fill = lookup(s, "fill") ? colourOf(need(s, "fill")) : 0xFFF1D0;
        const int tw = std::max(w, text.width + 6), th = std::max(h, text.height + 4);
        Rgba img(tw, th);
        img.fillRect(1, 1, tw - 2, th - 2, 0xFF000000u | static_cast<std::uint32_t>(fill));
        for (int x = 1; x < tw - 1; ++x) {
            img.blend(x, 0, 0xFF1B1B2F);
            img.blend(x, th - 1, 0xFF1B1B2F);
        }
        for (int y = 1; y < th - 1; ++y) {
            img.blend(0, y, 0xFF1B1B2F);
            img.blend(tw - 1, y, 0xFF1B1B2F);
        }
        const int ox = (tw - text.width) / 2, oy = (th - text.height) / 2;
        for (int y = 0; y < text.height; ++y)
            for (int x = 0; x < text.width; ++x) {
                const std::uint8_t* p = text.at(x, y);
                img.blend(ox + x, oy + y, (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2]);
            }
        return img;
    }
    const fs::path file = assets_ / stringAt(s, "source");
    deps_.add(file);
    return loadPicture(file, w, h);
}

std::vector<std::uint8_t> Project::buildRaw(const EntryDef& e) {
    const Rgba img = pictureOf(e);
    const int sel = selectorOf(e);
    if (sel == SpriteSheet::PALETTE_RGB || sel == SpriteSheet::PALETTE_RGBA) {
        std::vector<std::uint8_t> px;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const std::uint8_t* p = img.at(x, y);
                px.insert(px.end(), p, p + (sel == SpriteSheet::PALETTE_RGB ? 3 : 4));
            }
        return SpriteSheet::makeDirectEntry(px, img.width, img.height);
    }
    const PaletteDef& p = palettes_.at(paletteTable_[static_cast<std::size_t>(sel)]);
    return SpriteSheet::makeIndexedEntry(quantise(img, p.rgb), img.width, img.height);
}

std::vector<std::uint8_t> Project::buildPng(const EntryDef& e) {
    const Rgba img = pictureOf(e);
    if (const Value* pal = lookup(e.source, "palette")) {
        const PaletteDef& p = palette(*pal, stringOf(*pal));
        std::vector<std::uint8_t> alpha(p.rgb.size(), 255);
        alpha[0] = 0;
        return writePngIndexed(img.width, img.height, quantise(img, p.rgb), p.rgb, alpha);
    }
    return writePngRgba(img);
}

AnimElement Project::buildElement(const Value& v) {
    AnimElement el;
    el.flip = intAt(v, "flip", 0);
    el.scale = intAt(v, "scale", 1);
    auto pair = [&](const char* key) {
        const std::vector<int> p = intsAt(v, key, 2);
        return std::pair<int, int>{p[0], p[1]};
    };
    if (const Value* image = lookup(v, "image")) {
        const EntryDef& raw = entryNamed(*image, stringOf(*image));
        if (raw.kind != "raw") fail(*image, raw.name + " is not a raw picture");
        el.type = AnimElement::Image;
        el.imageId = raw.id;
        el.palette = lookup(v, "palette") ? palette(v, stringAt(v, "palette")).selector : selectorOf(raw);
        std::tie(el.dx, el.dy) = lookup(v, "at") ? pair("at") : std::pair<int, int>{0, 0};
        return el;
    }
    struct Shape {
        const char* key;
        int type;
    };
    for (const Shape shape : {Shape{"fill", 1}, Shape{"outline", 2}, Shape{"line", 3}, Shape{"ellipse", 4}}) {
        const Value* c = lookup(v, shape.key);
        if (!c) continue;
        el.type = shape.type;
        el.setRgb(colourOf(*c));
        if (shape.type <= 2) {
            const std::vector<int> r = intsAt(v, "rect", 4);
            std::copy(r.begin(), r.end(), el.coords.begin());
        } else if (shape.type == 3) {
            std::tie(el.coords[0], el.coords[1]) = pair("from");
            std::tie(el.coords[2], el.coords[3]) = pair("to");
        } else {
            std::tie(el.coords[0], el.coords[1]) = pair("centre");
            std::tie(el.coords[2], el.coords[3]) = pair("radius");
            if (el.coords[2] < 1) fail(v, "an ellipse needs a horizontal radius of at least 1");
        }
        return el;
    }
    fail(v, "an element is one of image, fill, outline, line or ellipse");
}

std::vector<std::uint8_t> Project::buildAnim(const EntryDef& e) {
    const std::string name = stringAt(e.source, "anim");
    auto it = animations_.find(name);
    if (it == animations_.end()) fail(e.source, hexId(e.id) + ": no animation named " + name);
    const Value& def = it->second;
    Animation a;
    const std::vector<int> ref = lookup(def, "ref") ? intsAt(def, "ref", 2) : std::vector<int>{0, 0};
    const std::vector<int> extent = intsAt(def, "extent", 2);
    a.refX = ref[0];
    a.refY = ref[1];
    a.extentX = extent[0];
    a.extentY = extent[1];
    const Value& frames = need(def, "frames");
    for (const auto& fv : frames.as_array()) {
        AnimFrame f;
        f.duration = intAt(fv, "ms", 32767);
        f.ref = intAt(fv, "same_as", -1);
        if (const Value* boxes = lookup(fv, "boxes")) {
            for (const auto& b : boxes->as_array()) {
                const std::vector<int> v = intsOf(b);
                if (v.size() != 5) fail(b, "a box is [kind, x, y, width, height]");
                f.boxes.push_back({v[0], v[1], v[2], v[3], v[4]});
            }
        }
        if (const Value* draw = lookup(fv, "draw"))
            for (const auto& el : draw->as_array()) f.elements.push_back(buildElement(el));
        if (f.ref != -1 && (!f.boxes.empty() || !f.elements.empty())) fail(fv, "a frame with same_as has no boxes or elements of its own");
        a.frames.push_back(std::move(f));
    }
    try {
        return AnimationData::encode(a);
    } catch (const java::lang::Throwable& t) {
        fail(def, "animation " + name + ": " + t.getMessage());
    }
}

void Project::buildTexts() {
    const Value doc = parseToml(assets_ / stringAt(config_, "texts"), deps_);
    const Value& texts = need(doc, "text");
    std::map<int, std::string> byId;
    for (const auto& [key, v] : texts.as_table()) {
        int id = -1;
        try {
            std::size_t used = 0;
            id = std::stoi(key, &used);
            if (used != key.size()) id = -1;
        } catch (const std::logic_error&) {
        }
        if (id < 0 || id > 0xFFFF) fail(v, "text id \"" + key + "\" is not a number 0..65535");
        const std::string text = stringOf(v);
        if (text.find('\n') != std::string::npos) fail(v, "text " + key + ": write line breaks as \\\\n, not as new lines");
        byId[id] = text;
    }
    const int minimum = intAt(doc, "count", 0);
    const int count = std::max(minimum, byId.empty() ? 0 : byId.rbegin()->first + 1);
    BuiltPack pack;
    pack.name = PackFile::textPackName(0);
    for (int i = 0; i < count; ++i) {
        auto it = byId.find(i);
        pack.entries.push_back(game::format::TextEntry::encode(it == byId.end() ? "" : it->second));
        pack.kinds.push_back("text");
    }
    packs_[pack.name] = std::move(pack);
}

void Project::buildProperties() {
    const Value* name = lookup(config_, "properties");
    if (!name) return;
    const Value doc = parseToml(assets_ / stringOf(*name), deps_);
    std::vector<std::uint8_t> out;
    for (const auto& [key, v] : need(doc, "property").as_table()) {
        int k = 0;
        try {
            k = std::stoi(key);
        } catch (const std::logic_error&) {
        }
        if (k < 1 || k > 22) fail(v, "property numbers are 1..22");
        out.push_back(static_cast<std::uint8_t>(k));
        const auto text = game::format::TextEntry::encode(stringOf(v));
        out.insert(out.end(), text.begin(), text.end());
    }
    files_["p"] = out;
}

}  // namespace content
