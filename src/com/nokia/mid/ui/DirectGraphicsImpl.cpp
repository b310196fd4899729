#include "com/nokia/mid/ui/DirectGraphicsImpl.h"

#include <string>
#include <utility>

#include "TarvokinEmu/Trace.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/game/Sprite.h"

namespace com::nokia::mid::ui {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::game::Sprite;

namespace {

// The nPoints coordinates from offset; throws before anything is drawn.
std::vector<int> copyPoints(const std::vector<int>& points, int offset, int n) {
    if (n <= 0) return {};
    const std::int64_t end = std::int64_t{offset} + n;
    if (offset < 0 || end > static_cast<std::int64_t>(points.size()))
        throw java::lang::ArrayIndexOutOfBoundsException(std::to_string(offset < 0 ? offset : end - 1));
    return std::vector<int>(points.begin() + offset, points.begin() + static_cast<std::ptrdiff_t>(end));
}

}  // namespace

DirectGraphicsImpl::DirectGraphicsImpl(std::shared_ptr<Graphics> g) : graphics_(std::move(g)) {
    TarvokinEmu::traceFirstUse("com.nokia.mid.ui.DirectGraphics");
}

void DirectGraphicsImpl::drawImage(const std::shared_ptr<Image>& img, int x, int y, int, int manipulation) {
    if (!img) throw java::lang::NullPointerException();
    auto& backend = graphics_->backend();
    const int w = img->getWidth(), h = img->getHeight();
    int transform = Sprite::TRANS_NONE;
    switch (manipulation) {
    case FLIP_HORIZONTAL: transform = Sprite::TRANS_MIRROR; break;
    case FLIP_VERTICAL: transform = Sprite::TRANS_MIRROR_ROT180; break;
    case ROTATE_180:
    case FLIP_HORIZONTAL | FLIP_VERTICAL: transform = Sprite::TRANS_ROT180; break;
    case ROTATE_90:
    case ROTATE_270:
        TarvokinEmu::trace(manipulation == ROTATE_90 ? "DirectGraphics - drawImage(ROTATE_90)"
                                                  : "DirectGraphics - drawImage(ROTATE_270)");
        backend.setColor(0xFF0000);
        backend.fillRect(x, y, w, h);
        break;
    default: break;
    }
    if (w > 0 && h > 0) backend.drawRegion(*img, 0, 0, w, h, transform, x, y);
}

void DirectGraphicsImpl::outline(const std::vector<int>& xs, const std::vector<int>& ys, int argb) {
    graphics_->backend().drawPolygon(xs.data(), ys.data(), static_cast<int>(xs.size()),
                                     static_cast<std::uint32_t>(argb));
}

void DirectGraphicsImpl::fill(const std::vector<int>& xs, const std::vector<int>& ys, int argb) {
    if (xs.size() < 3) return;
    graphics_->backend().fillPolygon(xs.data(), ys.data(), static_cast<int>(xs.size()),
                                     static_cast<std::uint32_t>(argb));
}

// Shapes take their colour with its alpha; the surface colour is set to it
// first (so it stays there when the coordinates turn out short) and put
// back afterwards.
template <typename Draw>
void DirectGraphicsImpl::withColour(int argb, Draw draw) {
    auto& backend = graphics_->backend();
    const std::uint32_t saved = backend.color();
    backend.setARGBColor(static_cast<std::uint32_t>(argb));
    draw();
    backend.setARGBColor(saved);
}

void DirectGraphicsImpl::drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int argb) {
    withColour(argb, [&] { outline({x1, x2, x3}, {y1, y2, y3}, argb); });
}

void DirectGraphicsImpl::fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int argb) {
    withColour(argb, [&] { fill({x1, x2, x3}, {y1, y2, y3}, argb); });
}

void DirectGraphicsImpl::drawPolygon(const std::vector<int>& xPoints, int xOffset, const std::vector<int>& yPoints,
                                     int yOffset, int nPoints, int argb) {
    withColour(argb, [&] { outline(copyPoints(xPoints, xOffset, nPoints), copyPoints(yPoints, yOffset, nPoints), argb); });
}

void DirectGraphicsImpl::fillPolygon(const std::vector<int>& xPoints, int xOffset, const std::vector<int>& yPoints,
                                     int yOffset, int nPoints, int argb) {
    withColour(argb, [&] { fill(copyPoints(xPoints, xOffset, nPoints), copyPoints(yPoints, yOffset, nPoints), argb); });
}

void DirectGraphicsImpl::setARGBColor(int argb) { graphics_->backend().setARGBColor(static_cast<std::uint32_t>(argb)); }

int DirectGraphicsImpl::getAlphaComponent() { return static_cast<int>(graphics_->backend().color() >> 24); }

int DirectGraphicsImpl::getNativePixelFormat() {
    TarvokinEmu::trace("DirectGraphics - getNativePixelFormat");
    return 0;
}

void DirectGraphicsImpl::drawPixels(const std::vector<std::int8_t>&, const std::vector<std::int8_t>&, int, int, int,
                                    int, int, int, int, int) {
    TarvokinEmu::trace("DirectGraphics - drawPixels");
}
void DirectGraphicsImpl::drawPixels(const std::vector<std::int32_t>&, bool, int, int, int, int, int, int, int, int) {
    TarvokinEmu::trace("DirectGraphics - drawPixels");
}
void DirectGraphicsImpl::drawPixels(const std::vector<std::int16_t>&, bool, int, int, int, int, int, int, int, int) {
    TarvokinEmu::trace("DirectGraphics - drawPixels");
}
void DirectGraphicsImpl::getPixels(std::vector<std::int8_t>&, std::vector<std::int8_t>&, int, int, int, int, int, int,
                                   int) {
    TarvokinEmu::trace("DirectGraphics - getPixels");
}
void DirectGraphicsImpl::getPixels(std::vector<std::int32_t>&, int, int, int, int, int, int, int) {
    TarvokinEmu::trace("DirectGraphics - getPixels");
}
void DirectGraphicsImpl::getPixels(std::vector<std::int16_t>&, int, int, int, int, int, int, int) {
    TarvokinEmu::trace("DirectGraphics - getPixels");
}

}  // namespace com::nokia::mid::ui
