#include "platform/RasterKernels.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(_M_X64)
#define RASTER_X86 1
#include <immintrin.h>
#endif

namespace platform::raster {

namespace {

// round(v / 255) for v in 0..255 * 255.
inline std::uint32_t div255(std::uint32_t v) {
    v += 128;
    return (v + (v >> 8)) >> 8;
}

// The over operator for a destination that is not opaque:
//   a = sa + da (1 - sa),  c = (sc sa + dc da (1 - sa)) / a.
std::uint32_t blendTranslucent(std::uint32_t dst, std::uint32_t src, std::uint32_t sa, std::uint32_t da) {
    const std::uint32_t ws = sa * 255, wd = da * (255 - sa);
    const std::uint32_t den = ws + wd;  // 255 * 255 * resulting alpha; > 0 since sa > 0
    std::uint32_t out = ((den + 127) / 255) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t sc = (src >> shift) & 255, dc = (dst >> shift) & 255;
        out |= ((sc * ws + dc * wd + den / 2) / den) << shift;
    }
    return out;
}

}  // namespace

std::uint32_t blendPixel(std::uint32_t dst, std::uint32_t src) {
    const std::uint32_t sa = src >> 24;
    if (sa == 0) return dst;
    if (sa == 255) return src;
    const std::uint32_t da = dst >> 24;
    if (da != 255) return blendTranslucent(dst, src, sa, da);
    const std::uint32_t ia = 255 - sa;
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        out |= div255(((src >> shift) & 255) * sa + ((dst >> shift) & 255) * ia) << shift;
    return out;
}

namespace {

struct Kernels {
    void (*blendRect)(std::uint32_t*, std::ptrdiff_t, const std::uint32_t*, std::ptrdiff_t, int, int);
    void (*blendRectMirrored)(std::uint32_t*, std::ptrdiff_t, const std::uint32_t*, std::ptrdiff_t, int, int);
    // The same for destinations known to be opaque.
    void (*blendRectOverOpaque)(std::uint32_t*, std::ptrdiff_t, const std::uint32_t*, std::ptrdiff_t, int, int);
    void (*blendRectMirroredOverOpaque)(std::uint32_t*, std::ptrdiff_t, const std::uint32_t*, std::ptrdiff_t, int, int);
    void (*fillRect)(std::uint32_t*, std::ptrdiff_t, int, int, std::uint32_t);
};

// Row kernels become block kernels: one indirect call per blit, not per row.
template <void (*Row)(std::uint32_t*, const std::uint32_t*, int)>
void rowsOf(std::uint32_t* dst, std::ptrdiff_t dstStride, const std::uint32_t* src, std::ptrdiff_t srcStride, int w,
            int h) {
    for (int j = 0; j < h; ++j, dst += dstStride, src += srcStride) Row(dst, src, w);
}

// --- scalar -----------------------------------------------------------------

void blendRowScalar(std::uint32_t* dst, const std::uint32_t* src, int n) {
    for (int i = 0; i < n; ++i) dst[i] = blendPixel(dst[i], src[i]);
}

void blendRowMirroredScalar(std::uint32_t* dst, const std::uint32_t* src, int n) {
    for (int i = 0; i < n; ++i) dst[i] = blendPixel(dst[i], src[n - 1 - i]);
}

void fillRectScalar(std::uint32_t* dst, std::ptrdiff_t stride, int w, int h, std::uint32_t colour) {
    for (int j = 0; j < h; ++j, dst += stride) std::fill_n(dst, w, colour);
}

constexpr Kernels kScalar = {&rowsOf<&blendRowScalar>, &rowsOf<&blendRowMirroredScalar>, &rowsOf<&blendRowScalar>,
                             &rowsOf<&blendRowMirroredScalar>, &fillRectScalar};

#ifdef RASTER_X86

// --- SSE2 (every x86-64) --------------------------------------------------------
// Four pixels at a time. Groups whose source is all opaque are stored, all
// clear skipped; over an opaque destination the rest is blended in 16-bit
// lanes; a group over translucent destination pixels goes pixel by pixel.
//
// Per channel v = s a + d (255 - a) = d * 255 + (s - d) a: the product is
// taken modulo 2^16 and v itself fits in 16 bits, so one multiply does.
// round(v / 255) = ((v + 128) * 257) >> 16 for every v up to 255 * 255.

inline __m128i blendHalf(__m128i s, __m128i d, __m128i a) {
    const __m128i v = _mm_add_epi16(_mm_sub_epi16(_mm_slli_epi16(d, 8), d), _mm_mullo_epi16(_mm_sub_epi16(s, d), a));
    return _mm_mulhi_epu16(_mm_add_epi16(v, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

inline __m128i blendOpaqueDst4(__m128i s, __m128i d) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i sl = _mm_unpacklo_epi8(s, zero), sh = _mm_unpackhi_epi8(s, zero);
    const __m128i al = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sl, 0xFF), 0xFF);
    const __m128i ah = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sh, 0xFF), 0xFF);
    const __m128i lo = blendHalf(sl, _mm_unpacklo_epi8(d, zero), al);
    const __m128i hi = blendHalf(sh, _mm_unpackhi_epi8(d, zero), ah);
    return _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(static_cast<int>(0xFF000000u)));
}

template <bool Mirrored>
void blendRowSse2(std::uint32_t* dst, const std::uint32_t* src, int n) {
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i s;
        if constexpr (Mirrored)
            s = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + n - 4 - i)), 0x1B);
        else
            s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i sa = _mm_and_si128(s, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, alphaMask)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF) continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaMask), alphaMask)) != 0xFFFF) {
            for (int k = 0; k < 4; ++k)
                dst[i + k] = blendPixel(dst[i + k], Mirrored ? src[n - 1 - i - k] : src[i + k]);
            continue;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), blendOpaqueDst4(s, d));
    }
    for (; i < n; ++i) dst[i] = blendPixel(dst[i], Mirrored ? src[n - 1 - i] : src[i]);
}

void fillRectSse2(std::uint32_t* dst, std::ptrdiff_t stride, int w, int h, std::uint32_t colour) {
    const __m128i c = _mm_set1_epi32(static_cast<int>(colour));
    if (stride == w && std::int64_t{w} * h >= 16384) {
        // Whole rows of the picture are one block: the string store, as
        // memset does for large blocks.
        std::uint32_t* p = dst;
        std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        asm volatile("rep stosl" : "+D"(p), "+c"(count) : "a"(colour) : "memory");
        return;
    }
    for (int j = 0; j < h; ++j, dst += stride) {
        int i = 0;
        for (; i + 16 <= w; i += 16) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), c);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 4), c);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8), c);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 12), c);
        }
        for (; i + 4 <= w; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), c);
        for (; i < w; ++i) dst[i] = colour;
    }
}

constexpr Kernels kSse2 = {&rowsOf<&blendRowSse2<false>>, &rowsOf<&blendRowSse2<true>>, &rowsOf<&blendRowSse2<false>>,
                           &rowsOf<&blendRowSse2<true>>, &fillRectSse2};

// --- AVX2 -------------------------------------------------------------------------

__attribute__((target("avx2"))) inline __m256i blendHalf256(__m256i s, __m256i d, __m256i a) {
    const __m256i v =
        _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(d, 8), d), _mm256_mullo_epi16(_mm256_sub_epi16(s, d), a));
    return _mm256_mulhi_epu16(_mm256_add_epi16(v, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

__attribute__((target("avx2"))) inline __m256i blendOpaqueDst8(__m256i s, __m256i d) {
    const __m256i zero = _mm256_setzero_si256();
    // Each pixel's alpha spread over its four 16-bit lanes, straight from the
    // packed source. unpack, shuffle and pack all work within 128-bit lanes,
    // so pixel order holds.
    const __m256i alphaLo = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1, 3, -1, 3, -1, 3, -1,
                                             3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    const __m256i alphaHi = _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1, 11,
                                             -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
    const __m256i lo = blendHalf256(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero),
                                    _mm256_shuffle_epi8(s, alphaLo));
    const __m256i hi = blendHalf256(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero),
                                    _mm256_shuffle_epi8(s, alphaHi));
    return _mm256_or_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
}

// Over a destination known to be opaque the per-group check of its alpha
// is skipped.
template <bool Mirrored, bool OverOpaque>
__attribute__((target("avx2"))) void blendRowAvx2(std::uint32_t* dst, const std::uint32_t* src, int n) {
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i s;
        if constexpr (Mirrored)
            s = _mm256_permutevar8x32_epi32(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + n - 8 - i)), reverse);
        else
            s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        if (_mm256_testc_si256(s, alphaMask)) {  // every alpha 255
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
            continue;
        }
        if (_mm256_testz_si256(s, alphaMask)) continue;  // every alpha 0
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        if (!OverOpaque && !_mm256_testc_si256(d, alphaMask)) {
            for (int k = 0; k < 8; ++k)
                dst[i + k] = blendPixel(dst[i + k], Mirrored ? src[n - 1 - i - k] : src[i + k]);
            continue;
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), blendOpaqueDst8(s, d));
    }
    if (i < n) {
        // The tail: at most seven pixels, four of them in one SSE2 step.
        if constexpr (Mirrored) blendRowSse2<true>(dst + i, src, n - i);
        else blendRowSse2<false>(dst + i, src + i, n - i);
    }
}

template <bool Mirrored, bool OverOpaque>
__attribute__((target("avx2"))) void blendRectAvx2(std::uint32_t* dst, std::ptrdiff_t dstStride,
                                                    const std::uint32_t* src, std::ptrdiff_t srcStride, int w, int h) {
    for (int j = 0; j < h; ++j, dst += dstStride, src += srcStride) blendRowAvx2<Mirrored, OverOpaque>(dst, src, w);
}

__attribute__((target("avx2"))) void fillRectAvx2(std::uint32_t* dst, std::ptrdiff_t stride, int w, int h,
                                                  std::uint32_t colour) {
    const __m256i c = _mm256_set1_epi32(static_cast<int>(colour));
    if (stride == w && std::int64_t{w} * h >= 16384) {
        // Whole rows of the picture are one block: the string store, as
        // memset does for large blocks.
        std::uint32_t* p = dst;
        std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        asm volatile("rep stosl" : "+D"(p), "+c"(count) : "a"(colour) : "memory");
        return;
    }
    for (int j = 0; j < h; ++j, dst += stride) {
        int i = 0;
        for (; i + 32 <= w; i += 32) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), c);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 8), c);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 16), c);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 24), c);
        }
        for (; i + 8 <= w; i += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), c);
        for (; i < w; ++i) dst[i] = colour;
    }
}

constexpr Kernels kAvx2 = {&blendRectAvx2<false, false>, &blendRectAvx2<true, false>, &blendRectAvx2<false, true>,
                           &blendRectAvx2<true, true>, &fillRectAvx2};

#endif  // RASTER_X86

const Kernels& kernelsFor(Isa isa) {
#ifdef RASTER_X86
    if (isa == Isa::Avx2) return kAvx2;
    if (isa == Isa::Sse2) return kSse2;
#endif
    (void)isa;
    return kScalar;
}

// Starts scalar (correct whenever it is called) and is widened once during
// static initialisation.
Kernels active = kScalar;
Isa activeChoice = Isa::Scalar;
const bool widened = (useIsa(bestIsa()), true);

}  // namespace

Isa bestIsa() {
#ifdef RASTER_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return Isa::Avx2;
    return Isa::Sse2;
#else
    return Isa::Scalar;
#endif
}

Isa activeIsa() { return activeChoice; }

void useIsa(Isa isa) {
    const Isa best = bestIsa();
    if (static_cast<int>(isa) > static_cast<int>(best)) isa = best;
    activeChoice = isa;
    active = kernelsFor(isa);
}

void fillRow(std::uint32_t* dst, int n, std::uint32_t colour) { active.fillRect(dst, 0, n, 1, colour); }

void fillRect(std::uint32_t* dst, std::ptrdiff_t stride, int w, int h, std::uint32_t colour) {
    active.fillRect(dst, stride, w, h, colour);
}

void blendRow(std::uint32_t* dst, const std::uint32_t* src, int n) { active.blendRect(dst, 0, src, 0, n, 1); }

void blendRowMirrored(std::uint32_t* dst, const std::uint32_t* src, int n) {
    active.blendRectMirrored(dst, 0, src, 0, n, 1);
}

void blendRect(std::uint32_t* dst, std::ptrdiff_t dstStride, const std::uint32_t* src, std::ptrdiff_t srcStride,
               int w, int h, bool mirrored, bool overOpaque) {
    if (overOpaque) {
        if (mirrored) active.blendRectMirroredOverOpaque(dst, dstStride, src, srcStride, w, h);
        else active.blendRectOverOpaque(dst, dstStride, src, srcStride, w, h);
    } else {
        if (mirrored) active.blendRectMirrored(dst, dstStride, src, srcStride, w, h);
        else active.blendRect(dst, dstStride, src, srcStride, w, h);
    }
}

void copyRow(std::uint32_t* dst, const std::uint32_t* src, int n) {
    // memmove: a picture may be drawn onto itself.
    std::memmove(dst, src, static_cast<std::size_t>(n) * sizeof(std::uint32_t));
}

void copyRowMirrored(std::uint32_t* dst, const std::uint32_t* src, int n) {
    for (int i = 0; i < n; ++i) dst[i] = src[n - 1 - i];
}

void blendFillRow(std::uint32_t* dst, int n, std::uint32_t colour) {
    const std::uint32_t a = colour >> 24;
    if (a == 255) return fillRow(dst, n, colour);
    if (a == 0) return;
    for (int i = 0; i < n; ++i) dst[i] = blendPixel(dst[i], colour);
}

bool allOpaque(const std::uint32_t* pixels, std::size_t count) {
    std::uint32_t all = 0xFF000000u;
    for (std::size_t i = 0; i < count; ++i) all &= pixels[i];
    return all == 0xFF000000u;
}

void zoomExact2(const std::uint32_t* src, int w, int h, std::vector<std::uint32_t>& rowBuffer, std::uint32_t* dst) {
    const std::size_t width = static_cast<std::size_t>(w);
    rowBuffer.resize(width * 2 * h);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = src + width * y;
        std::copy(row, row + width, rowBuffer.begin() + width * (2 * y));
        std::copy(row, row + width, rowBuffer.begin() + width * (2 * y + 1));
    }
    for (int y = 0; y < 2 * h; ++y) {
        const std::uint32_t* row = rowBuffer.data() + width * y;
        std::uint32_t* out = dst + width * 2 * y;
        for (std::size_t x = 0; x < width; ++x) out[2 * x] = out[2 * x + 1] = row[x];
    }
}

void zoomNearest(const std::uint32_t* src, int w, int h, int zoom, std::uint32_t* dst) {
    const std::size_t outW = static_cast<std::size_t>(w) * zoom;
    for (int y = 0; y < h * zoom; ++y) {
        const std::uint32_t* row = src + static_cast<std::size_t>(w) * (y / zoom);
        std::uint32_t* out = dst + outW * y;
        for (std::size_t x = 0; x < outW; ++x) out[x] = row[x / zoom];
    }
}

}  // namespace platform::raster
