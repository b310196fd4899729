// The content project: what the sources under assets/ describe, loaded and
// compiled into pack entries.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Compilers.h"
#include "Content.h"
#include "Pictures.h"
#include "game/format/AnimationData.h"
#include "game/format/PackFile.h"

namespace content {

struct PaletteDef {
    std::string name;
    std::vector<std::uint32_t> rgb;  // index 0 is the transparent slot
    int selector = -1;               // position in the palette table
};

// A named entry of a pack index.
struct EntryDef {
    std::int32_t id = -1;
    std::string kind;
    std::string name;
    Value source;  // the index line, for errors and options
};

// A built pack: entries by index, with the kind each was made as.
struct BuiltPack {
    std::string name;
    std::vector<std::vector<std::uint8_t>> entries;
    std::vector<std::string> kinds;
};

class Project {
public:
    Project(fs::path assets, fs::path work);

    // Compiles every pack, the properties and the manifest in memory.
    void build();
    // Files outside the packs: "p", "META-INF/MANIFEST.MF".
    const std::map<std::string, std::vector<std::uint8_t>>& files() const { return files_; }
    const std::map<std::string, BuiltPack>& packs() const { return packs_; }
    // The desktop icons, by path in an icon theme ("hicolor/32x32/apps/...").
    const std::map<std::string, std::vector<std::uint8_t>>& icons() const { return icons_; }
    Deps& deps() { return deps_; }
    const fs::path& assets() const { return assets_; }
    const Value& config() const { return config_; }

private:
    // A source path of the data: relative to assets/, or, when it starts
    // with "@", to the work folder, where the build puts generated sources
    // (the art drawn by assets/art/draw.py).
    fs::path resolve(const std::string& path) const;
    void loadPalettes();
    void loadIndex(const fs::path& file);
    void loadAnimations();
    std::vector<std::uint8_t> buildEntry(const EntryDef& e);
    std::vector<std::uint8_t> buildRaw(const EntryDef& e);
    std::vector<std::uint8_t> buildPng(const EntryDef& e);
    std::vector<std::uint8_t> buildAnim(const EntryDef& e);
    game::format::AnimElement buildElement(const Value& v);
    std::vector<std::uint8_t> buildLevelFile(const EntryDef& e);
    void buildTexts();
    void buildProperties();
    void buildIcons();
    Rgba pictureOf(const EntryDef& e);
    // The picture of a raw entry as stored: with `trim = true` its fully
    // transparent margins are cut off, and `offset` says where the kept part
    // sat, so image elements can add it to their position.
    struct Stored {
        Rgba picture;
        int x = 0, y = 0;             // where the kept part sat
        int fullWidth = 0, fullHeight = 0;
    };
    const Stored& storedPicture(const EntryDef& raw);
    const PaletteDef& palette(const Value& at, const std::string& name) const;
    const EntryDef& entryNamed(const Value& at, const std::string& name) const;
    int selectorOf(const EntryDef& raw) const;

    fs::path assets_, work_;
    Deps deps_;
    Value config_;
    std::map<std::string, PaletteDef> palettes_;
    std::vector<std::string> paletteTable_;
    std::map<int, std::vector<EntryDef>> index_;  // by pack number
    std::map<std::string, EntryDef> named_;
    std::map<std::string, Value> animations_;
    std::map<std::string, BuiltPack> packs_;
    std::map<std::string, std::vector<std::uint8_t>> files_;
    std::map<std::string, std::vector<std::uint8_t>> icons_;
    // Made once per build: the label face and each game font.
    std::unique_ptr<FontFace> labelFace_;
    std::map<std::string, GameFontBuild> gameFonts_;
    std::map<std::string, Stored> stored_;  // raw pictures by entry name
};

}  // namespace content
