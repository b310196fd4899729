// Built data as the game sees it: the packs of a resource space, and the
// pictures, palettes and animations inside them.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Content.h"
#include "game/format/AnimationData.h"
#include "game/format/PackFile.h"
#include "platform/Picture.h"

namespace content {

class DataSet {
public:
    // Reads every r<n> and l0_<n> file of dir.
    static DataSet load(const fs::path& dir);
    void add(game::format::PackFile pack);

    const std::map<std::string, game::format::PackFile>& packs() const { return packs_; }
    const game::format::PackFile* pack(const std::string& name) const;
    // The entry of a resource id; throws ContentError naming the id.
    std::span<const std::uint8_t> entry(std::int32_t id) const;
    bool has(std::int32_t id) const;
    std::string text(int id) const;

    // Palettes from the table at 0x60042 (empty when it is missing).
    const std::vector<std::vector<std::int32_t>>& palettes() const;
    // The PNG the game builds for a raw entry and selector (flip, scale).
    std::vector<std::uint8_t> rawPng(std::int32_t rawId, int selector, int flip, int scale) const;
    // That PNG decoded by the runtime's decoder.
    platform::Picture rawPicture(std::int32_t rawId, int selector, int flip, int scale) const;

private:
    std::map<std::string, game::format::PackFile> packs_;
    mutable std::optional<std::vector<std::vector<std::int32_t>>> palettes_;
};

// Guesses an entry's kind from its bytes (the packs do not store it).
std::string sniffKind(const std::string& packName, std::span<const std::uint8_t> entry);

// Draws one frame of an animation into img with its reference point at
// (x, y); boxes as thin outlines when showBoxes.
void drawFrame(Rgba& img, const DataSet& data, const game::format::Animation& a, int frame, int x, int y, bool showBoxes);
void blitPicture(Rgba& img, const platform::Picture& pic, int x, int y);

// The class a manifest names, read as the launcher reads it: the text after
// the second comma following "MIDlet-1:", up to a carriage return, trimmed.
std::string manifestClass(const std::vector<std::uint8_t>& manifest);

// Checks built data against the catalogue; returns the problems found.
std::vector<std::string> checkCatalogue(const DataSet& data, const Value& catalogue);

}  // namespace content
