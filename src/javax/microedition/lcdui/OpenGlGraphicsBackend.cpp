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
#include "platform/Console.h"

namespace javax::microedition::lcdui {

using TarvokinEmu::gl::GLMaster;
using TarvokinEmu::gl::TextureLoader;

namespace {

void todo(const char* operation) { platform::Console::errln(std::string("TODO: ") + operation); }

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

}  // namespace

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

void OpenGlGraphicsBackend::fillTriangle(int, int, int, int, int, int) { todo("fillTriangle"); }
void OpenGlGraphicsBackend::fillPolygon(const int*, const int*, int, std::uint32_t) { todo("fillPolygon"); }
void OpenGlGraphicsBackend::drawPolygon(const int*, const int*, int, std::uint32_t) { todo("drawPolygon"); }
void OpenGlGraphicsBackend::drawArc(int, int, int, int, int, int) { todo("drawArc"); }
void OpenGlGraphicsBackend::fillArc(int, int, int, int, int, int) { todo("fillArc"); }
void OpenGlGraphicsBackend::drawRoundRect(int, int, int, int, int, int) { todo("drawRoundRect"); }
void OpenGlGraphicsBackend::fillRoundRect(int, int, int, int, int, int) { todo("fillRoundRect"); }

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
    default: todo("drawRegion"); return;
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
