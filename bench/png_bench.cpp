// PNG decoding of game-sized pictures: the runtime's decoder next to libpng
// and spng decoding the same files, and next to zlib inflating the same
// image data alone. Bytes processed are the decoded ARGB bytes, so MB/s
// compare directly. For ratios, run with
//   --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//   --benchmark_report_aggregates_only=true
// and compare the medians.
#include <benchmark/benchmark.h>
#include <png.h>
#include <spng.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "TarvokinEmu/ByteArray.h"
#include "TarvokinEmu/PNGReader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Sample {
    const char* name;
    int width, height, colorType, depth;
    Bytes file;
    Bytes idat;               // the image data alone
    std::size_t rawSize = 0;  // inflated size
};

// Pictures that compress like game art: flat areas, gradients, soft edges.
Bytes makeRows(int w, int h, int colorType, int depth, std::mt19937& rng) {
    const int channels = colorType == 6 ? 4 : colorType == 2 ? 3 : 1;
    const std::size_t rowBytes = (static_cast<std::size_t>(w) * channels * depth + 7) / 8;
    Bytes rows(rowBytes * h, 0);
    struct Disc {
        double x, y, r;
        std::uint8_t c[4];
    };
    std::vector<Disc> discs;
    for (int i = 0; i < w * h / 2500; ++i)
        discs.push_back({double(rng() % w), double(rng() % h), 4.0 + rng() % 28,
                         {std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 255}});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t px[4] = {std::uint8_t(x * 255 / w), std::uint8_t(y * 255 / h), std::uint8_t((x + y) / 4),
                                  0};
            for (const Disc& d : discs) {
                const double dist = std::hypot(x - d.x, y - d.y);
                if (dist < d.r) {
                    std::memcpy(px, d.c, 3);
                    px[3] = dist > d.r - 2 ? std::uint8_t(255 * (d.r - dist) / 2) : 255;  // soft edge
                }
            }
            if (colorType == 2) px[0] = std::uint8_t(px[0] + rng() % 3);  // a little noise
            std::uint8_t* row = rows.data() + y * rowBytes;
            if (colorType == 6) std::memcpy(row + 4 * x, px, 4);
            else if (colorType == 2) std::memcpy(row + 3 * x, px, 3);
            else {
                const int index = px[3] == 0 ? 0 : (px[0] ^ px[2]) % ((1 << depth) - 1) + 1;
                if (depth == 8) row[x] = std::uint8_t(index);
                else row[x / 2] |= std::uint8_t(x % 2 ? index : index << 4);
            }
        }
    return rows;
}

Bytes encode(int w, int h, int colorType, int depth, const Bytes& rows) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) throw std::runtime_error("libpng write failed");
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_compression_buffer_size(png, 1 << 24);  // one IDAT chunk
    png_set_IHDR(png, info, w, h, depth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colorType == 3) {
        std::vector<png_color> palette(1 << depth);
        for (std::size_t i = 0; i < palette.size(); ++i)
            palette[i] = {png_byte(i * 37), png_byte(i * 91), png_byte(255 - i * 13)};
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        png_byte alpha = 0;
        png_set_tRNS(png, info, &alpha, 1, nullptr);
    }
    png_write_info(png, info);
    const std::size_t rowBytes = rows.size() / h;
    for (int y = 0; y < h; ++y) png_write_row(png, const_cast<png_bytep>(rows.data() + y * rowBytes));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes idatOf(const Bytes& file) {
    Bytes data;
    for (std::size_t p = 8; p + 8 <= file.size();) {
        const std::uint32_t len = std::uint32_t(file[p]) << 24 | file[p + 1] << 16 | file[p + 2] << 8 | file[p + 3];
        if (std::memcmp(&file[p + 4], "IDAT", 4) == 0) data.insert(data.end(), &file[p + 8], &file[p + 8 + len]);
        p += 12 + len;
    }
    return data;
}

std::vector<Sample>& samples() {
    static std::vector<Sample> all = [] {
        std::mt19937 rng(42);
        std::vector<Sample> s = {{"rgba_sprites_512", 512, 512, 6, 8, {}, {}, 0},
                                 {"palette8_sheet_512", 512, 512, 3, 8, {}, {}, 0},
                                 {"palette4_sheet_512x256", 512, 256, 3, 4, {}, {}, 0},
                                 {"rgb_background_800x600", 800, 600, 2, 8, {}, {}, 0}};
        for (Sample& x : s) {
            const Bytes rows = makeRows(x.width, x.height, x.colorType, x.depth, rng);
            x.file = encode(x.width, x.height, x.colorType, x.depth, rows);
            x.idat = idatOf(x.file);
            x.rawSize = rows.size() + x.height;
        }
        return s;
    }();
    return all;
}

void setBytes(benchmark::State& state, const Sample& s) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * s.width * s.height * 4);
    state.SetLabel(s.name);
}

void BM_Ours(benchmark::State& state) {
    const Sample& s = samples()[state.range(0)];
    TarvokinEmu::ByteArray in(s.file);
    for (auto _ : state) {
        in.reset();
        platform::Picture p = TarvokinEmu::PNGReader().read(in);
        benchmark::DoNotOptimize(p.pixels.data());
    }
    setBytes(state, s);
}

struct Reader {
    const Bytes* file;
    std::size_t pos;
};

bool decodeWithLibpng(const Sample& s, std::vector<png_bytep>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    Reader reader{&s.file, 0};
    png_set_read_fn(png, &reader, [](png_structp p, png_bytep data, png_size_t n) {
        auto* r = static_cast<Reader*>(png_get_io_ptr(p));
        std::memcpy(data, r->file->data() + r->pos, n);
        r->pos += n;
    });
    png_read_info(png, info);
    // The same ARGB output as ours: bytes B G R A.
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_read_update_info(png, info);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

void BM_Libpng(benchmark::State& state) {
    const Sample& s = samples()[state.range(0)];
    std::vector<std::uint32_t> out(static_cast<std::size_t>(s.width) * s.height);
    std::vector<png_bytep> rows(s.height);
    for (int y = 0; y < s.height; ++y) rows[y] = reinterpret_cast<png_bytep>(out.data() + y * s.width);
    for (auto _ : state) {
        if (!decodeWithLibpng(s, rows)) state.SkipWithError("libpng failed");
        benchmark::DoNotOptimize(out.data());
    }
    setBytes(state, s);
}

void BM_Spng(benchmark::State& state) {
    const Sample& s = samples()[state.range(0)];
    std::vector<std::uint8_t> out(static_cast<std::size_t>(s.width) * s.height * 4);
    for (auto _ : state) {
        spng_ctx* ctx = spng_ctx_new(0);
        spng_set_png_buffer(ctx, s.file.data(), s.file.size());
        // spng's own RGBA byte order; no conversion to ARGB.
        if (spng_decode_image(ctx, out.data(), out.size(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0)
            state.SkipWithError("spng failed");
        spng_ctx_free(ctx);
        benchmark::DoNotOptimize(out.data());
    }
    setBytes(state, s);
}

void BM_ZlibInflateOnly(benchmark::State& state) {
    const Sample& s = samples()[state.range(0)];
    Bytes raw(s.rawSize);
    for (auto _ : state) {
        uLongf len = static_cast<uLongf>(raw.size());
        if (uncompress(raw.data(), &len, s.idat.data(), static_cast<uLong>(s.idat.size())) != Z_OK)
            state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(raw.data());
    }
    setBytes(state, s);
}

void samplesArgs(benchmark::internal::Benchmark* b) {
    for (int i = 0; i < 4; ++i) b->Arg(i);
}

}  // namespace

BENCHMARK(BM_Ours)->Apply(samplesArgs);
BENCHMARK(BM_Libpng)->Apply(samplesArgs);
BENCHMARK(BM_Spng)->Apply(samplesArgs);
BENCHMARK(BM_ZlibInflateOnly)->Apply(samplesArgs);
