// The pixel loops of the software raster: row fills, source-over blits and
// the window's zoom of non-premultiplied ARGB (alpha 24..31, red 16..23, green 8..15, blue
// 0..7). The wide versions are chosen once at run time from the CPU; every
// version gives exactly the pixels of blendPixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::raster {

// Source-over of one pixel:
// - source alpha 0 leaves dst, alpha 255 replaces it;
// - over an opaque dst each channel is round((s * a + d * (255 - a)) / 255)
//   and the result is opaque;
// - otherwise the non-premultiplied over operator, rounded.
std::uint32_t blendPixel(std::uint32_t dst, std::uint32_t src);

// dst[i] = colour for n pixels.
void fillRow(std::uint32_t* dst, int n, std::uint32_t colour);
// dst[i] = blendPixel(dst[i], src[i]).
void blendRow(std::uint32_t* dst, const std::uint32_t* src, int n);
// dst[i] = blendPixel(dst[i], src[n - 1 - i]): the source mirrored.
void blendRowMirrored(std::uint32_t* dst, const std::uint32_t* src, int n);
// dst[i] = src[i] and dst[i] = src[n - 1 - i]; for opaque sources.
void copyRow(std::uint32_t* dst, const std::uint32_t* src, int n);
void copyRowMirrored(std::uint32_t* dst, const std::uint32_t* src, int n);
// Blocks of h rows of w pixels, rows stride pixels apart (a negative source
// stride walks the source upwards). overOpaque promises that every
// destination pixel has alpha 255, which spares checking it.
void fillRect(std::uint32_t* dst, std::ptrdiff_t stride, int w, int h, std::uint32_t colour);
void blendRect(std::uint32_t* dst, std::ptrdiff_t dstStride, const std::uint32_t* src, std::ptrdiff_t srcStride,
               int w, int h, bool mirrored, bool overOpaque = false);
// dst[i] = blendPixel(dst[i], colour): a translucent colour.
void blendFillRow(std::uint32_t* dst, int n, std::uint32_t colour);

// True when every pixel has alpha 255.
bool allOpaque(const std::uint32_t* pixels, std::size_t count);

// Enlargements of a w x h picture for the window; dst holds the zoomed
// picture. Exact doubling goes through a buffer of doubled rows (kept by
// the caller between frames), then doubles the columns; other scales
// sample the nearest source pixel.
void zoomExact2(const std::uint32_t* src, int w, int h, std::vector<std::uint32_t>& rowBuffer,
                std::uint32_t* dst);
void zoomNearest(const std::uint32_t* src, int w, int h, int zoom, std::uint32_t* dst);

// Which versions run. Tests and benchmarks may force a narrower one; the
// widest the CPU supports is the default.
enum class Isa { Scalar, Sse2, Avx2 };
Isa activeIsa();
Isa bestIsa();
void useIsa(Isa isa);  // clamped to bestIsa()

}  // namespace platform::raster
