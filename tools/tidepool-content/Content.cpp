#include "Content.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include <zlib.h>

namespace content {

void fail(const Value& at, const std::string& message) {
    throw ContentError(toml::format_error(message, at, "here", {}, false));
}

void fail(const std::string& message) { throw ContentError(message); }

void Deps::writeDepfile(const fs::path& depfile, const std::string& target) const {
    std::ostringstream out;
    auto escape = [](const std::string& s) {
        std::string r;
        for (char c : s) {
            if (c == ' ') r += '\\';
            r += c;
        }
        return r;
    };
    out << escape(target) << ":";
    for (const auto& f : files_) out << " \\\n  " << escape(f);
    out << "\n";
    const std::string text = out.str();
    writeFile(depfile, std::vector<std::uint8_t>(text.begin(), text.end()));
}

Value parseToml(const fs::path& file, Deps& deps) {
    deps.add(file);
    try {
        return toml::parse<toml::discard_comments, std::map, std::vector>(file.string());
    } catch (const std::exception& e) {
        throw ContentError(e.what());
    }
}

const Value* lookup(const Value& table, const std::string& key) {
    if (!table.is_table()) fail(table, "expected a table");
    const auto& t = table.as_table();
    auto it = t.find(key);
    return it == t.end() ? nullptr : &it->second;
}

const Value& need(const Value& table, const std::string& key) {
    const Value* v = lookup(table, key);
    if (!v) fail(table, "missing key \"" + key + "\"");
    return *v;
}

int intOf(const Value& v) {
    if (!v.is_integer()) fail(v, "expected an integer");
    const auto i = v.as_integer();
    if (i < INT32_MIN || i > INT32_MAX) fail(v, "integer out of range");
    return static_cast<int>(i);
}

double numberOf(const Value& v) {
    if (v.is_integer()) return static_cast<double>(v.as_integer());
    if (v.is_floating()) return v.as_floating();
    fail(v, "expected a number");
}

std::string stringOf(const Value& v) {
    if (!v.is_string()) fail(v, "expected a string");
    return v.as_string().str;
}

int intAt(const Value& t, const std::string& key) { return intOf(need(t, key)); }
int intAt(const Value& t, const std::string& key, int fallback) {
    const Value* v = lookup(t, key);
    return v ? intOf(*v) : fallback;
}
double numberAt(const Value& t, const std::string& key, double fallback) {
    const Value* v = lookup(t, key);
    return v ? numberOf(*v) : fallback;
}
std::string stringAt(const Value& t, const std::string& key) { return stringOf(need(t, key)); }
std::string stringAt(const Value& t, const std::string& key, const std::string& fallback) {
    const Value* v = lookup(t, key);
    return v ? stringOf(*v) : fallback;
}
bool boolAt(const Value& t, const std::string& key, bool fallback) {
    const Value* v = lookup(t, key);
    if (!v) return fallback;
    if (!v->is_boolean()) fail(*v, "expected true or false");
    return v->as_boolean();
}

std::vector<int> intsOf(const Value& v) {
    if (!v.is_array()) fail(v, "expected an array of integers");
    std::vector<int> out;
    for (const auto& e : v.as_array()) out.push_back(intOf(e));
    return out;
}

std::vector<int> intsAt(const Value& t, const std::string& key, std::size_t expected) {
    const Value& v = need(t, key);
    std::vector<int> out = intsOf(v);
    if (expected && out.size() != expected) fail(v, "expected " + std::to_string(expected) + " integers");
    return out;
}

int colourOf(const Value& v) {
    const std::string s = stringOf(v);
    if (s.size() != 7 || s[0] != '#') fail(v, "expected a colour \"#RRGGBB\"");
    try {
        std::size_t used = 0;
        const int c = std::stoi(s.substr(1), &used, 16);
        if (used != 6) fail(v, "expected a colour \"#RRGGBB\"");
        return c;
    } catch (const std::logic_error&) {
        fail(v, "expected a colour \"#RRGGBB\"");
    }
}

std::string hexId(std::int32_t id) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(id));
    return buf;
}

void Rgba::blend(int x, int y, std::uint32_t argb) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    const unsigned a = argb >> 24;
    if (a == 0) return;
    std::uint8_t* p = at(x, y);
    const unsigned r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    if (a == 255) {
        p[0] = static_cast<std::uint8_t>(r);
        p[1] = static_cast<std::uint8_t>(g);
        p[2] = static_cast<std::uint8_t>(b);
        p[3] = 255;
        return;
    }
    const unsigned da = p[3];
    const unsigned oa = a + da * (255 - a) / 255;
    auto mix = [&](unsigned s, unsigned d) { return oa ? (s * a + d * da * (255 - a) / 255) / oa : 0; };
    p[0] = static_cast<std::uint8_t>(mix(r, p[0]));
    p[1] = static_cast<std::uint8_t>(mix(g, p[1]));
    p[2] = static_cast<std::uint8_t>(mix(b, p[2]));
    p[3] = static_cast<std::uint8_t>(oa);
}

void Rgba::fillRect(int x, int y, int w, int h, std::uint32_t argb) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) blend(i, j, argb);
}

namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, static_cast<std::uint32_t>(::crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

std::vector<std::uint8_t> png(int width, int height, int colourType, const std::vector<std::uint8_t>& raw,
                              const std::vector<std::uint8_t>& plte, const std::vector<std::uint8_t>& trns) {
    std::vector<std::uint8_t> out = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> ihdr;
    put32(ihdr, static_cast<std::uint32_t>(width));
    put32(ihdr, static_cast<std::uint32_t>(height));
    ihdr.insert(ihdr.end(), {8, static_cast<std::uint8_t>(colourType), 0, 0, 0});
    chunk(out, "IHDR", ihdr);
    if (!plte.empty()) chunk(out, "PLTE", plte);
    if (!trns.empty()) chunk(out, "tRNS", trns);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> z(size);
    if (compress2(z.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) fail("zlib failed");
    z.resize(size);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    return out;
}

}  // namespace

std::vector<std::uint8_t> writePngRgba(const Rgba& img) {
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(img.height) * (1 + 4 * img.width));
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0);
        const std::uint8_t* row = img.at(0, y);
        raw.insert(raw.end(), row, row + 4 * img.width);
    }
    return png(img.width, img.height, 6, raw, {}, {});
}

std::vector<std::uint8_t> writePngIndexed(int width, int height, const std::vector<std::uint8_t>& indices,
                                          const std::vector<std::uint32_t>& rgb, const std::vector<std::uint8_t>& alpha) {
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + width));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), indices.begin() + static_cast<std::ptrdiff_t>(y) * width,
                   indices.begin() + static_cast<std::ptrdiff_t>(y + 1) * width);
    }
    std::vector<std::uint8_t> plte;
    for (std::uint32_t c : rgb) plte.insert(plte.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});
    std::vector<std::uint8_t> trns(alpha.begin(), alpha.end());
    while (!trns.empty() && trns.back() == 255) trns.pop_back();
    return png(width, height, 3, raw, plte, trns);
}

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    const fs::path tmp = path.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) fail("cannot write " + tmp.string());
    }
    fs::rename(tmp, path);
}

std::vector<std::uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot read " + path.string());
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace content
