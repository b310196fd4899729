// Shared pieces of the content compiler: TOML access with located errors,
// RGBA pictures, PNG writing and the dependency record.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <toml.hpp>

namespace content {

namespace fs = std::filesystem;

// Sorted tables keep every walk over a source deterministic.
using Value = toml::basic_value<toml::discard_comments, std::map, std::vector>;

// A data error; the message already names the file, line and id.
struct ContentError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const Value& at, const std::string& message);
[[noreturn]] void fail(const std::string& message);

// Every file a build step reads, for the build system's depfile.
class Deps {
public:
    void add(const fs::path& p) { files_.insert(fs::absolute(p).lexically_normal().string()); }
    void writeDepfile(const fs::path& depfile, const std::string& target) const;

private:
    std::set<std::string> files_;
};

Value parseToml(const fs::path& file, Deps& deps);

const Value* lookup(const Value& table, const std::string& key);
const Value& need(const Value& table, const std::string& key);
int intOf(const Value& v);
double numberOf(const Value& v);
std::string stringOf(const Value& v);
int intAt(const Value& table, const std::string& key);
int intAt(const Value& table, const std::string& key, int fallback);
double numberAt(const Value& table, const std::string& key, double fallback);
std::string stringAt(const Value& table, const std::string& key);
std::string stringAt(const Value& table, const std::string& key, const std::string& fallback);
bool boolAt(const Value& table, const std::string& key, bool fallback);
std::vector<int> intsOf(const Value& v);
std::vector<int> intsAt(const Value& table, const std::string& key, std::size_t expected = 0);
// "#RRGGBB" to 0xRRGGBB.
int colourOf(const Value& v);

std::string hexId(std::int32_t id);

// Straight (not premultiplied) RGBA, rows top to bottom.
struct Rgba {
    int width = 0, height = 0;
    std::vector<std::uint8_t> px;  // 4 bytes a pixel
    Rgba() = default;
    Rgba(int w, int h) : width(w), height(h), px(static_cast<std::size_t>(w) * h * 4, 0) {}
    std::uint8_t* at(int x, int y) { return px.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
    const std::uint8_t* at(int x, int y) const { return px.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
    // Source-over blend of one straight-alpha pixel.
    void blend(int x, int y, std::uint32_t argb);
    void fillRect(int x, int y, int w, int h, std::uint32_t argb);
};

// PNG files the runtime decoder accepts: 8-bit, not interlaced, all image
// data in one IDAT (zlib at the best level).
std::vector<std::uint8_t> writePngRgba(const Rgba& img);
// Palette PNG; alpha[i] < 255 entries go into tRNS (trailing opaque ones
// omitted).
std::vector<std::uint8_t> writePngIndexed(int width, int height, const std::vector<std::uint8_t>& indices,
                                          const std::vector<std::uint32_t>& rgb, const std::vector<std::uint8_t>& alpha);

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readFile(const fs::path& path);

}  // namespace content
