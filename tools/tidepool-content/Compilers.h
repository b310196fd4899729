// Compilers for the source kinds that stand on their own.
#pragma once

#include <cstdint>
#include <vector>

#include "Content.h"
#include "Sound.h"

namespace content {

// Game bitmap fonts: the glyph table and its glyph picture (a PNG).
struct GameFontBuild {
    std::vector<std::uint8_t> table;
    std::vector<std::uint8_t> picture;
};
GameFontBuild buildGameFont(const std::string& name, const Value& def, Deps& deps);

// The runtime font sets: TarvokinEmuFonts/<set>/<size>_<style>.{cor,png}.
// Returns file name (relative to the resource space) to bytes.
std::map<std::string, std::vector<std::uint8_t>> buildRuntimeFonts(const Value& def, Deps& deps);

// A sound effect synthesised from its description (Effects.cpp), levelled
// as `level` (the effects' common settings) asks: 16-bit mono PCM WAV.
std::vector<std::uint8_t> synthEffect(const std::string& name, const Value& def, const Value& level);

// One pass of a looping tune from its MIDI file (Tunes.cpp): stereo, a
// whole number of bars, at `loudness` LUFS, its peaks limited to
// `peakCeiling` dBFS. Fails when that takes more than a few dB off a peak.
Sound renderTune(const std::vector<std::uint8_t>& midi, const fs::path& soundFont, double loudness, double peakCeiling);

// The level file from its source.
std::vector<std::uint8_t> compileLevels(const fs::path& file, Deps& deps);

}  // namespace content
