#include "javax/microedition/lcdui/OpenGlGraphicsBackend.h"

#include <algorithm>
#include <string>
#include <vector>

#include "TarvokinEmu/Trace.h"
#include "TarvokinEmu/gl/GLMaster.h"
#include "TarvokinEmu/gl/TextureLoader.h"
#include "javax/microedition/lcdui/FallbackFont.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/SoftwareGraphicsBackend.h"

namespace javax::microedition::lcdui {

using TarvokinEmu::gl::GLMaster;
using TarvokinEmu::gl::TextureLoader;

namespace {

int wrapAdd(int a, int b) { return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b)); }

platform::Rect intersect(const platform::Rect& a, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
    const std::int64_t x0 = std::max<std::int64_t>(a.x, x), y0 = std::max<std::int64_t>(a.y, y);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{a.x} + a.width, x + std::max<std::int64_t>(0, w));
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{a.y} + a.height, y + std::max<std::int64_t>(0, h));
    if (x1 <= x0 || y1 <= y0) return {static_cast<int>(std::clamp<std::int64_t>(x0, 0, a.x + a.width)), 0, 0, 0};
    return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
}

// A passing picture drawn once through a texture of its own.
void drawPixels(const platform::PixelSource& src, int x, int y) {
    if (auto texture = TextureLoader::make(src)) GLMaster::drawTexture(*texture, 0, 0, src.width, src.height, x, y);
}

// A clear picture the size of box.
std::shared_ptr<platform::Picture> clearPicture(const platform::Rect& box) {
    auto picture = std::make_shared<platform::Picture>();
    picture->width = box.width;
    picture->height = box.height;
    picture->pixels.assign(static_cast<std::size_t>(box.width) * static_cast<std::size_t>(box.height), 0u);
    return picture;
}

}  // namespace

// The box of a shape drawn over (x, y, w, h), outline pixels one beyond
// included; a negative size spans the other way.
OpenGlGraphicsBackend::Box OpenGlGraphicsBackend::boxOf(int x, int y, int width, int height) {
    const std::int64_t bx = std::int64_t{x} + width, by = std::int64_t{y} + height;
    return {std::min<std::int64_t>(x, bx), std::min<std::int64_t>(y, by), std::max<std::int64_t>(x, bx) + 1,
            std::max<std::int64_t>(y, by) + 1};
}

OpenGlGraphicsBackend::Box OpenGlGraphicsBackend::boxOf(const int* xs, const int* ys, int count) {
    if (count <= 0 || !xs || !ys) return {0, 0, 0, 0};
    Box b{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
    for (int i = 0; i < count; ++i) {
        b.x0 = std::min(b.x0, std::int64_t{xs[i]});
        b.y0 = std::min(b.y0, std::int64_t{ys[i]});
        b.x1 = std::max(b.x1, std::int64_t{xs[i]} + 1);
        b.y1 = std::max(b.y1, std::int64_t{ys[i]} + 1);
    }
    return b;
}

OpenGlGraphicsBackend::OpenGlGraphicsBackend(int width, int height)
    : width_(width), height_(height), clip_{0, 0, width, height} {}

int OpenGlGraphicsBackend::tx(int x) const { return wrapAdd(x, translateX_); }
int OpenGlGraphicsBackend::ty(int y) const { return wrapAdd(y, translateY_); }

void OpenGlGraphicsBackend::setColor(int argb) {
    colour_ = 0xFF000000u | (static_cast<std::uint32_t>(argb) & 0xFFFFFFu);
    GLMaster::setColour(static_cast<std::uint32_t>(argb));
}

void OpenGlGraphicsBackend::setARGBColor(std::uint32_t argb) {
    colour_ = argb;
    GLMaster::setColour(argb);
}

void OpenGlGraphicsBackend::translate(int dx, int dy) {
    translateX_ = wrapAdd(translateX_, dx);
    translateY_ = wrapAdd(translateY_, dy);
}

void OpenGlGraphicsBackend::applyClip(const platform::Rect& clip) {
    clip_ = clip;
    GLMaster::setClip(clip_);
}

void OpenGlGraphicsBackend::setClip(int x, int y, int width, int height) {
    applyClip(intersect({0, 0, width_, height_}, std::int64_t{x} + translateX_, std::int64_t{y} + translateY_, width,
                        height));
}

void OpenGlGraphicsBackend::clipRect(int x, int y, int width, int height) {
    applyClip(intersect(clip_, std::int64_t{x} + translateX_, std::int64_t{y} + translateY_, width, height));
}

void OpenGlGraphicsBackend::restoreClip(const platform::Rect& clip) { applyClip(clip); }

void OpenGlGraphicsBackend::fillRect(int x, int y, int width, int height) { GLMaster::fillRect(tx(x), ty(y), width, height); }

void OpenGlGraphicsBackend::drawRect(int x, int y, int width, int height) {
    if (width < 0 || height < 0) return;
    const int x0 = tx(x), y0 = ty(y), x1 = wrapAdd(x0, width), y1 = wrapAdd(y0, height);
    GLMaster::drawLine(x0, y0, x1, y0);
    GLMaster::drawLine(x0, y0, x0, y1);
    GLMaster::drawLine(x0, y1, x1, y1);
    GLMaster::drawLine(x1, y0, x1, y1);
}

void OpenGlGraphicsBackend::drawLine(int x1, int y1, int x2, int y2) { GLMaster::drawLine(tx(x1), ty(y1), tx(x2), ty(y2)); }

template <typename Paint>
void OpenGlGraphicsBackend::rasterise(const Box& shape, std::uint32_t argb, Paint paint) {
    // The shape's box in device pixels, cut to the clip: only that much is
    // rasterised and uploaded.
    const platform::Rect box = intersect(clip_, shape.x0 + translateX_, shape.y0 + translateY_, shape.x1 - shape.x0,
                                         shape.y1 - shape.y0);
    if (box.empty() || (argb >> 24) == 0) return;
    auto picture = clearPicture(box);
    platform::RasterSurface surface(picture);
    surface.translate(wrapAdd(translateX_, -box.x), wrapAdd(translateY_, -box.y));
    // Coverage in the opaque colour; the colour's own alpha then goes on the
    // covered pixels so GL blends them as the software raster would.
    surface.setColor(argb);
    paint(surface);
    const std::uint32_t alpha = argb & 0xFF000000u;
    for (std::uint32_t& p : picture->pixels)
        if (p != 0) p = (p & 0xFFFFFFu) | alpha;
    drawPixels(platform::PixelSource::of(*picture), box.x, box.y);
}

void OpenGlGraphicsBackend::fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3) {
    const int xs[] = {x1, x2, x3}, ys[] = {y1, y2, y3};
    rasterise(boxOf(xs, ys, 3), colour_, [&](platform::RasterSurface& s) { s.fillTriangle(x1, y1, x2, y2, x3, y3); });
}

void OpenGlGraphicsBackend::fillPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) {
    rasterise(boxOf(xs, ys, count), argb, [&](platform::RasterSurface& s) { s.fillPolygon(xs, ys, count, s.color()); });
}

void OpenGlGraphicsBackend::drawPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) {
    rasterise(boxOf(xs, ys, count), argb, [&](platform::RasterSurface& s) { s.drawPolygon(xs, ys, count, s.color()); });
}

void OpenGlGraphicsBackend::drawArc(int x, int y, int width, int height, int startAngle, int arcAngle) {
    rasterise(boxOf(x, y, width, height), colour_,
              [&](platform::RasterSurface& s) { s.drawArc(x, y, width, height, startAngle, arcAngle); });
}

void OpenGlGraphicsBackend::fillArc(int x, int y, int width, int height, int startAngle, int arcAngle) {
    rasterise(boxOf(x, y, width, height), colour_,
              [&](platform::RasterSurface& s) { s.fillArc(x, y, width, height, startAngle, arcAngle); });
}

void OpenGlGraphicsBackend::drawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
    rasterise(boxOf(x, y, width, height), colour_,
              [&](platform::RasterSurface& s) { s.drawRoundRect(x, y, width, height, arcWidth, arcHeight); });
}

void OpenGlGraphicsBackend::fillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
    rasterise(boxOf(x, y, width, height), colour_,
              [&](platform::RasterSurface& s) { s.fillRoundRect(x, y, width, height, arcWidth, arcHeight); });
}

void OpenGlGraphicsBackend::drawImage(const Image& image, int x, int y) {
    if (const auto* texture = TextureLoader::textureOf(image))
        GLMaster::drawTexture(*texture, 0, 0, texture->width, texture->height, tx(x), ty(y));
}

void OpenGlGraphicsBackend::drawRegion(const Image& image, int xSrc, int ySrc, int width, int height, int transform,
                                       int x, int y) {
    bool mirrorX = false, mirrorY = false;
    switch (transform) {
    case Graphics::TRANS_NONE: break;
    case Graphics::TRANS_MIRROR: mirrorX = true; break;
    case Graphics::TRANS_MIRROR_ROT180: mirrorY = true; break;
    case Graphics::TRANS_ROT180: mirrorX = mirrorY = true; break;
    case Graphics::TRANS_ROT270: {
        // The software back end turns the region on a clear picture of the
        // turned box (height wide, width high); its pixels are opaque or
        // clear, so the texture shows exactly them.
        const std::int64_t left = std::int64_t{x} + translateX_, top = std::int64_t{y} + translateY_;
        const platform::Rect box = intersect(clip_, left, top, height, width);
        if (box.empty()) return;
        auto picture = clearPicture(box);
        SoftwareGraphicsBackend turned(picture);
        turned.drawRegion(image, xSrc, ySrc, width, height, transform, static_cast<int>(left - box.x),
                          static_cast<int>(top - box.y));
        drawPixels(platform::PixelSource::of(*picture), box.x, box.y);
        return;
    }
    default:
        // Not turned: drawn as it is inside a red frame, and red stays the
        // drawing colour, as in software.
        if (const auto* texture = TextureLoader::textureOf(image))
            GLMaster::drawTexture(*texture, xSrc, ySrc, width, height, tx(x), ty(y));
        setColor(0xFF0000);
        if (width > 0 && height > 0) drawRect(x, y, width - 1, height - 1);
        TarvokinEmu::trace("Graphics.drawRegion(transformation not emulated: " + std::to_string(transform) + ")");
        return;
    }
    if (const auto* texture = TextureLoader::textureOf(image))
        GLMaster::drawTexture(*texture, xSrc, ySrc, width, height, tx(x), ty(y), mirrorX, mirrorY);
}

void OpenGlGraphicsBackend::drawRGB(std::span<const std::int32_t> rgb, int offset, int scanlength, int x, int y,
                                    int width, int height, bool processAlpha) {
    TarvokinEmu::trace("Image.createRGBImage(" + std::to_string(width) + "x" + std::to_string(height) + ")");
    if (width <= 0 || height <= 0) return;
    // Only the rows inside the clip are copied.
    const std::int64_t top = std::int64_t{y} + translateY_;
    const std::int64_t r0 = std::clamp<std::int64_t>(clip_.y - top, 0, height);
    const std::int64_t r1 = std::clamp<std::int64_t>(std::int64_t{clip_.y} + clip_.height - top, r0, height);
    if (r0 >= r1 || std::int64_t{width} * (r1 - r0) > Image::kMaxPixels) return;
    std::vector<std::uint32_t> block(static_cast<std::size_t>(width) * static_cast<std::size_t>(r1 - r0));
    const std::uint32_t forced = processAlpha ? 0u : 0xFF000000u;
    for (std::int64_t r = r0; r < r1; ++r) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.data() + offset + r * scanlength);
        std::uint32_t* out = block.data() + static_cast<std::size_t>(r - r0) * width;
        for (int i = 0; i < width; ++i) out[i] = row[i] | forced;
    }
    drawPixels({block.data(), width, static_cast<int>(r1 - r0), width, !processAlpha}, tx(x),
               static_cast<int>(top + r0));
}

void OpenGlGraphicsBackend::drawFallbackString(std::string_view s, int x, int baselineY) {
    // Drawn in software into a clear picture, then through a texture.
    constexpr int kAscent = 14, kHeight = 20;
    auto picture = std::make_shared<platform::Picture>();
    picture->width = static_cast<int>(std::min<std::size_t>(s.size() * 14 + 16, 4096));
    picture->height = kHeight;
    picture->pixels.assign(static_cast<std::size_t>(picture->width) * kHeight, 0u);
    platform::RasterSurface surface(picture);
    surface.setColor(colour_);
    fallback::drawString(surface, s, 0, kAscent);
    drawPixels(platform::PixelSource::of(*picture), tx(x), wrapAdd(ty(baselineY), -kAscent));
}

}  // namespace javax::microedition::lcdui
