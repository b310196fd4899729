#include "TarvokinEmu/PNGReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "java/lang/Exceptions.h"
#include "platform/Console.h"
#include "platform/Inflate.h"

namespace TarvokinEmu {

namespace {

constexpr std::int64_t kSignature = static_cast<std::int64_t>(0x89504E470D0A1A0AULL);
// Samples per pixel by colour type; 1 and 5 are not colour types.
constexpr int kSamples[7] = {1, 0, 3, 1, 2, 0, 4};
// Rows are inflated in strips of about this many bytes, so that the strip
// stays in cache while it is unfiltered and converted.
constexpr std::size_t kStripBytes = 64 * 1024;

constexpr std::int32_t chunkType(const char (&name)[5]) {
    return static_cast<std::int32_t>(std::uint32_t(std::uint8_t(name[0])) << 24 |
                                     std::uint32_t(std::uint8_t(name[1])) << 16 |
                                     std::uint32_t(std::uint8_t(name[2])) << 8 | std::uint32_t(std::uint8_t(name[3])));
}

[[noreturn]] void fail(const std::string& message) { throw java::io::IOException(message); }

std::string signedHex(std::int64_t v) {
    static const char digits[] = "0123456789abcdef";
    std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::string s;
    do {
        s.insert(s.begin(), digits[u & 15]);
        u >>= 4;
    } while (u != 0);
    if (v < 0) s.insert(s.begin(), '-');
    return s;
}

// --- unfiltering ------------------------------------------------------------
// B is the distance in bytes to the corresponding byte of the pixel on the
// left; n the row length in bytes.

template <int B>
void unfilterSub(std::uint8_t* row, std::size_t n) {
    for (std::size_t x = B; x < n; ++x) row[x] = static_cast<std::uint8_t>(row[x] + row[x - B]);
}

void unfilterUp(std::uint8_t* row, const std::uint8_t* up, std::size_t n) {
    std::size_t x = 0;
#if defined(__SSE2__)
    for (; x + 16 <= n; x += 16) {
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(up + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm_add_epi8(r, u));
    }
#endif
    for (; x < n; ++x) row[x] = static_cast<std::uint8_t>(row[x] + up[x]);
}

template <int B>
void unfilterAverage(std::uint8_t* row, const std::uint8_t* up, std::size_t n) {
    const std::size_t head = std::min<std::size_t>(B, n);
    for (std::size_t x = 0; x < head; ++x) row[x] = static_cast<std::uint8_t>(row[x] + (up[x] >> 1));
    for (std::size_t x = B; x < n; ++x) row[x] = static_cast<std::uint8_t>(row[x] + ((row[x - B] + up[x]) >> 1));
}

inline std::uint8_t paethPredict(int a, int b, int c) {
    // pa = |p - a| = |b - c|, pb = |p - b| = |a - c|, pc = |p - c|.
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

template <int B>
void unfilterPaeth(std::uint8_t* row, const std::uint8_t* up, std::size_t n) {
    // With a = c = 0 the predictor is always up.
    const std::size_t head = std::min<std::size_t>(B, n);
    for (std::size_t x = 0; x < head; ++x) row[x] = static_cast<std::uint8_t>(row[x] + up[x]);
    for (std::size_t x = B; x < n; ++x)
        row[x] = static_cast<std::uint8_t>(row[x] + paethPredict(row[x - B], up[x], up[x - B]));
}

#if defined(__SSE2__)
// Whole pixels of 3 or 4 bytes at a time in SSE2 lanes (every x86-64 has
// SSE2). Loads take 4 bytes, so rows need 1 byte of readable padding after
// them; stores write exactly B bytes, so the next pixel is never touched
// before it is read.

template <int B>
inline __m128i loadPixel(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(static_cast<int>(v));
}

template <int B>
inline void storePixel(std::uint8_t* p, __m128i v) {
    const std::uint32_t u = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
    std::memcpy(p, &u, B);
}

template <int B>
void unfilterSubWide(std::uint8_t* row, std::size_t n) {
    __m128i a = _mm_setzero_si128();
    for (std::size_t x = 0; x + B <= n; x += B) {
        a = _mm_add_epi8(loadPixel<B>(row + x), a);
        storePixel<B>(row + x, a);
    }
}

template <int B>
void unfilterAverageWide(std::uint8_t* row, const std::uint8_t* up, std::size_t n) {
    const __m128i one = _mm_set1_epi8(1);
    __m128i a = _mm_setzero_si128();
    for (std::size_t x = 0; x + B <= n; x += B) {
        const __m128i b = loadPixel<B>(up + x);
        // (a + b) >> 1 without overflow: the rounded-up average minus the
        // odd bit.
        const __m128i avg = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        a = _mm_add_epi8(loadPixel<B>(row + x), avg);
        storePixel<B>(row + x, a);
    }
}

inline __m128i abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

template <int B>
void unfilterPaethWide(std::uint8_t* row, const std::uint8_t* up, std::size_t n) {
    // The predictor on 16-bit lanes: pa = |b - c|, pb = |a - c|,
    // pc = |a + b - 2c|; a when pa is smallest, else b when pb is, else c.
    const __m128i zero = _mm_setzero_si128();
    __m128i a = zero, c = zero;
    for (std::size_t x = 0; x + B <= n; x += B) {
        const __m128i b = _mm_unpacklo_epi8(loadPixel<B>(up + x), zero);
        const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
        const __m128i pa = abs16(bc), pb = abs16(ac), pc = abs16(_mm_add_epi16(bc, ac));
        const __m128i smallest = _mm_min_epi16(pa, _mm_min_epi16(pb, pc));
        const __m128i useA = _mm_cmpeq_epi16(pa, smallest);
        const __m128i useB = _mm_andnot_si128(useA, _mm_cmpeq_epi16(pb, smallest));
        const __m128i useC = _mm_andnot_si128(_mm_or_si128(useA, useB), _mm_set1_epi16(-1));
        const __m128i pred = _mm_or_si128(_mm_or_si128(_mm_and_si128(useA, a), _mm_and_si128(useB, b)),
                                          _mm_and_si128(useC, c));
        const __m128i raw = _mm_unpacklo_epi8(loadPixel<B>(row + x), zero);
        a = _mm_and_si128(_mm_add_epi16(raw, pred), _mm_set1_epi16(0xFF));
        storePixel<B>(row + x, _mm_packus_epi16(a, zero));
        c = b;
    }
}
#endif

template <int B>
void unfilterRow(int filter, std::uint8_t* row, const std::uint8_t* up, std::size_t n) {
#if defined(__SSE2__)
    if constexpr (B >= 3) {
        switch (filter) {
        case 0: return;
        case 1: return unfilterSubWide<B>(row, n);
        case 2: return unfilterUp(row, up, n);
        case 3: return unfilterAverageWide<B>(row, up, n);
        case 4: return unfilterPaethWide<B>(row, up, n);
        default: fail("Illegal filter type: " + std::to_string(filter));
        }
    }
#endif
    switch (filter) {
    case 0: break;
    case 1: unfilterSub<B>(row, n); break;
    case 2: unfilterUp(row, up, n); break;
    case 3: unfilterAverage<B>(row, up, n); break;
    case 4: unfilterPaeth<B>(row, up, n); break;
    default: fail("Illegal filter type: " + std::to_string(filter));
    }
}

using UnfilterFn = void (*)(int, std::uint8_t*, const std::uint8_t*, std::size_t);

UnfilterFn unfilterFor(int bytesPerPixel) {
    switch (bytesPerPixel) {
    case 1: return &unfilterRow<1>;
    case 2: return &unfilterRow<2>;
    case 3: return &unfilterRow<3>;
    default: return &unfilterRow<4>;
    }
}

// --- pixel conversion ---------------------------------------------------------

void convertGrey(const std::uint8_t* s, std::uint32_t* d, int w) {
    for (int x = 0; x < w; ++x) d[x] = 0xFF000000u | s[x] * 0x010101u;
}

void convertGreyAlpha(const std::uint8_t* s, std::uint32_t* d, int w) {
    for (int x = 0; x < w; ++x) d[x] = std::uint32_t(s[2 * x + 1]) << 24 | s[2 * x] * 0x010101u;
}

// Reads a word per pixel: rows have a byte of padding after them.
void convertRgb(const std::uint8_t* s, std::uint32_t* d, int w) {
    for (int x = 0; x < w; ++x) {
        std::uint32_t v;
        std::memcpy(&v, s + 3 * x, 4);
        d[x] = 0xFF000000u | (v & 0xFFu) << 16 | (v & 0xFF00u) | (v >> 16 & 0xFFu);
    }
}

void convertRgba(const std::uint8_t* s, std::uint32_t* d, int w) {
    // Bytes R G B A read as one little-endian word: swap red and blue.
    int x = 0;
#if defined(__SSE2__)
    const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF00FF00u)), low = _mm_set1_epi32(0xFF);
    for (; x + 4 <= w; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * x));
        const __m128i swapped = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 16), low),
                                             _mm_slli_epi32(_mm_and_si128(v, low), 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_or_si128(_mm_and_si128(v, keep), swapped));
    }
#endif
    for (; x < w; ++x) {
        std::uint32_t v;
        std::memcpy(&v, s + 4 * x, 4);
        d[x] = (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16;
    }
}

[[noreturn]] void badIndex(int index, std::size_t size) {
    fail("Invalid palette index: " + std::to_string(index) + " (palette size: " + std::to_string(size) + ")");
}

void convertPalette8(const std::uint8_t* s, std::uint32_t* d, int w, const std::vector<std::uint32_t>& pal) {
    const std::size_t n = pal.size();
    for (int x = 0; x < w; ++x) {
        if (s[x] >= n) badIndex(s[x], n);
        d[x] = pal[s[x]];
    }
}

void convertPalette4(const std::uint8_t* s, std::uint32_t* d, int w, const std::vector<std::uint32_t>& pal) {
    const std::size_t n = pal.size();
    for (int x = 0; x < w; ++x) {
        const int index = (x & 1) ? s[x >> 1] & 15 : s[x >> 1] >> 4;
        if (static_cast<std::size_t>(index) >= n) badIndex(index, n);
        d[x] = pal[index];
    }
}

}  // namespace

std::uint8_t PNGReader::paeth(std::uint8_t a, std::uint8_t b, std::uint8_t c) { return paethPredict(a, b, c); }

platform::Picture PNGReader::decode(std::span<const std::uint8_t> bytes) {
    ByteArray in(bytes.data(), bytes.size());
    in.reset();
    return PNGReader().read(in);
}

platform::Picture PNGReader::read(ByteArray& in) {
    const std::int64_t signature = in.readLong();
    if (signature != kSignature) {
        platform::Console::println("Bad PNG signature: 0x" + signedHex(signature));
        fail("Error reading PNG file");
    }
    for (;;) {
        const std::int32_t length = in.readInt();
        const std::int32_t type = in.readInt();
        // Lengths above 2^31 - 1 are not PNG; taken as negative they would
        // walk the reader backwards.
        if (length < 0) fail("Invalid chunk length: " + std::to_string(length));
        const std::int64_t start = in.getPosition(), end = start + length;
        if (end > in.length()) throw java::io::EOFException();
        switch (type) {
        // One header, before the palette: a header read later would reset
        // what the palette said about transparency.
        case chunkType("IHDR"):
            if (haveHeader_) fail("Duplicate IHDR");
            readHeader(in);
            break;
        case chunkType("PLTE"):
            if (!haveHeader_) fail("PLTE before IHDR");
            readPalette(in, length);
            break;
        case chunkType("tRNS"): readTransparency(in, length); break;
        case chunkType("IDAT"):
            if (!haveHeader_) fail("Image data before IHDR");
            readImageData(in.peek(length));
            break;
        default: break;
        }
        // Every chunk ends where its length says, whatever its handler read.
        in.setPosition(static_cast<int>(end));
        in.readInt();  // CRC, not verified
        if (type == chunkType("IEND")) break;
    }
    if (!haveHeader_) fail("Missing IHDR");

    platform::Picture picture;
    picture.width = width_;
    picture.height = height_;
    picture.pixels = std::move(pixels_);
    // Without image data the pixels are all 0, whatever the colour type says.
    picture.opaque = opaque_ && haveImageData_;
    return picture;
}

void PNGReader::readHeader(ByteArray& in) {
    const std::int32_t width = in.readInt();
    const std::int32_t height = in.readInt();
    const int depth = in.readByte();
    const int type = in.readByte();
    const int compression = in.readByte();
    const int filter = in.readByte();
    const int interlace = in.readByte();
    if (compression != 0) fail("Invalid compression method: " + std::to_string(compression));
    if (filter != 0) fail("Invalid filter method: " + std::to_string(filter));
    if (interlace != 0) fail("Unsupported interlace method: " + std::to_string(interlace));
    if (!(depth == 8 || (depth == 4 && type == 3)))
        fail("Unsupported bit depth: " + std::to_string(depth) + " (color type: " + std::to_string(type) + ")");
    if (type != 0 && type != 2 && type != 3 && type != 4 && type != 6)
        fail("Invalid color type: " + std::to_string(type));
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width <= 0 || height <= 0) fail("Invalid image size: " + size);
    if (width > kMaxSide || height > kMaxSide || std::int64_t{width} * height > kMaxPixels)
        fail("Image too large: " + size);

    bitDepth_ = depth;
    colorType_ = type;
    width_ = width;
    height_ = height;
    opaque_ = type == 0 || type == 2 || type == 3;
    pixels_.assign(static_cast<std::size_t>(width) * height, 0u);
    haveHeader_ = true;
    haveImageData_ = false;
}

void PNGReader::readPalette(ByteArray& in, int length) {
    const int n = length / 3;
    if (n * 3 != length) fail("Invalid palette length: " + std::to_string(length));
    const std::span<const std::uint8_t> rgb = in.peek(length);
    auto& palette = palette_.emplace(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        palette[i] = 0xFF000000u | std::uint32_t(rgb[3 * i]) << 16 | std::uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
}

void PNGReader::readTransparency(ByteArray& in, int length) {
    if (!palette_)
        fail("Transparency unsupported without a palette. Color type = " + std::to_string(colorType_));
    auto& palette = *palette_;
    if (static_cast<std::size_t>(length) > palette.size())
        fail("Invalid transparency length: " + std::to_string(length));
    const std::span<const std::uint8_t> alpha = in.peek(length);
    for (int i = 0; i < length; ++i) {
        if (alpha[i] != 255) opaque_ = false;
        palette[i] = std::uint32_t(alpha[i]) << 24 | (palette[i] & 0xFFFFFFu);
    }
}

void PNGReader::readImageData(std::span<const std::uint8_t> data) {
    const int samples = kSamples[colorType_];
    const std::size_t bitsPerPixel = static_cast<std::size_t>(bitDepth_) * samples;
    const int bytesPerPixel = static_cast<int>((bitsPerPixel + 7) / 8);
    const std::size_t rowBytes = (bitsPerPixel * width_ + 7) / 8;
    const std::size_t stride = rowBytes + 1;  // filter byte, then the row
    const std::size_t stripRows = std::max<std::size_t>(1, kStripBytes / stride);

    static const std::vector<std::uint32_t> noPalette;
    const std::vector<std::uint32_t>& palette = palette_ ? *palette_ : noPalette;
    const UnfilterFn unfilter = unfilterFor(bytesPerPixel);

    // One byte of padding after the last row: the wide filters load whole
    // words.
    std::vector<std::uint8_t> strip(std::min<std::size_t>(stripRows, height_) * stride + 4);
    std::vector<std::uint8_t> previous(rowBytes + 4, 0);  // the row above the strip
    platform::ZlibInflater inflater(data);

    for (int y = 0; y < height_;) {
        const std::size_t rows = std::min<std::size_t>(stripRows, height_ - y);
        const std::size_t got = inflater.fill(std::span(strip.data(), rows * stride));
        // Rows inflated completely are handled before a zlib fault is
        // reported, exactly as when inflating row by row.
        const std::size_t complete = got / stride;
        const std::uint8_t* up = previous.data();
        for (std::size_t r = 0; r < complete; ++r, ++y) {
            std::uint8_t* row = strip.data() + r * stride;
            unfilter(row[0], row + 1, up, rowBytes);
            std::uint32_t* out = pixels_.data() + static_cast<std::size_t>(y) * width_;
            const std::uint8_t* src = row + 1;
            switch (colorType_) {
            case 0: convertGrey(src, out, width_); break;
            case 2: convertRgb(src, out, width_); break;
            case 3:
                if (bitDepth_ == 4) convertPalette4(src, out, width_, palette);
                else convertPalette8(src, out, width_, palette);
                break;
            case 4: convertGreyAlpha(src, out, width_); break;
            default: convertRgba(src, out, width_); break;
            }
            up = row + 1;
        }
        if (got != rows * stride) fail("Invalid ZLIB data");
        std::memcpy(previous.data(), up, rowBytes);
    }
    haveImageData_ = true;
}

}  // namespace TarvokinEmu
