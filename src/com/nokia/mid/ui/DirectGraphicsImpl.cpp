#include "com/nokia/mid/ui/DirectGraphicsImpl.h"

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "TarvokinEmu/Emulator.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/SoftwareGraphicsBackend.h"
#include "javax/microedition/lcdui/game/Sprite.h"

namespace com::nokia::mid::ui {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::SoftwareGraphicsBackend;
using javax::microedition::lcdui::game::Sprite;
using TarvokinEmu::Emulator;

namespace {

// The nPoints coordinates from offset; throws before anything is drawn.
std::vector<int> copyPoints(const std::vector<int>& points, int offset, int n) {
    if (n <= 0) return {};
    const std::int64_t end = std::int64_t{offset} + n;
    if (offset < 0 || end > static_cast<std::int64_t>(points.size()))
        throw java::lang::ArrayIndexOutOfBoundsException(std::to_string(offset < 0 ? offset : end - 1));
    return std::vector<int>(points.begin() + offset, points.begin() + static_cast<std::ptrdiff_t>(end));
}

// The pixels of a one-pixel line, the minor coordinate rounded half up from
// the end with the smaller major coordinate, so a line and its reverse agree.
void linePixels(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                std::set<std::pair<std::int64_t, std::int64_t>>& out) {
    const std::int64_t dx = x2 - x1, dy = y2 - y1;
    if (std::llabs(dx) >= std::llabs(dy)) {
        if (dx < 0) return linePixels(x2, y2, x1, y1, out);
        for (std::int64_t x = x1; x <= x2; ++x)
            out.emplace(x, dx == 0 ? y1 : y1 + static_cast<std::int64_t>(std::floor(double(x - x1) * dy / dx + 0.5)));
    } else {
        if (dy < 0) return linePixels(x2, y2, x1, y1, out);
        for (std::int64_t y = y1; y <= y2; ++y)
            out.emplace(x1 + static_cast<std::int64_t>(std::floor(double(y - y1) * dx / dy + 0.5)), y);
    }
}

}  // namespace

DirectGraphicsImpl::DirectGraphicsImpl(std::shared_ptr<Graphics> g) : graphics_(std::move(g)) {
    Emulator::traceFirstUse("com.nokia.mid.ui.DirectGraphics");
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
        Emulator::trace(manipulation == ROTATE_90 ? "DirectGraphics - drawImage(ROTATE_90)"
                                                  : "DirectGraphics - drawImage(ROTATE_270)");
        backend.setColor(0xFF0000);
        backend.fillRect(x, y, w, h);
        break;
    default: break;
    }
    if (w > 0 && h > 0) backend.drawRegion(*img, 0, 0, w, h, transform, x, y);
}

void DirectGraphicsImpl::outline(const std::vector<int>& xs, const std::vector<int>& ys, int argb) {
    if (xs.empty()) return;
    std::set<std::pair<std::int64_t, std::int64_t>> pixels;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const std::size_t j = (i + 1) % xs.size();
        linePixels(xs[i], ys[i], xs[j], ys[j], pixels);
    }
    // Each pixel once, so shared corners are not blended twice.
    auto& backend = graphics_->backend();
    for (const auto& [px, py] : pixels) {
        if (px < INT32_MIN || px >= INT32_MAX || py < INT32_MIN || py >= INT32_MAX) continue;
        const int x = static_cast<int>(px), y = static_cast<int>(py);
        const int cx[4] = {x, x + 1, x + 1, x}, cy[4] = {y, y, y + 1, y + 1};
        backend.fillPolygon(cx, cy, 4, static_cast<std::uint32_t>(argb));
    }
}

void DirectGraphicsImpl::fill(const std::vector<int>& xs, const std::vector<int>& ys, int argb) {
    if (xs.size() < 3) return;
    graphics_->backend().fillPolygon(xs.data(), ys.data(), static_cast<int>(xs.size()),
                                     static_cast<std::uint32_t>(argb));
}

void DirectGraphicsImpl::drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int argb) {
    outline({x1, x2, x3}, {y1, y2, y3}, argb);
}

void DirectGraphicsImpl::fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int argb) {
    fill({x1, x2, x3}, {y1, y2, y3}, argb);
}

void DirectGraphicsImpl::drawPolygon(const std::vector<int>& xPoints, int xOffset, const std::vector<int>& yPoints,
                                     int yOffset, int nPoints, int argb) {
    const auto xs = copyPoints(xPoints, xOffset, nPoints);
    const auto ys = copyPoints(yPoints, yOffset, nPoints);
    outline(xs, ys, argb);
}

void DirectGraphicsImpl::fillPolygon(const std::vector<int>& xPoints, int xOffset, const std::vector<int>& yPoints,
                                     int yOffset, int nPoints, int argb) {
    const auto xs = copyPoints(xPoints, xOffset, nPoints);
    const auto ys = copyPoints(yPoints, yOffset, nPoints);
    fill(xs, ys, argb);
}

void DirectGraphicsImpl::setARGBColor(int argb) {
    graphics_->backend().setColor(argb);
    argb_ = argb;
    argbSet_ = true;
}

int DirectGraphicsImpl::getAlphaComponent() {
    if (!argbSet_) return 255;
    // A later setColor on the context makes the surface opaque again; the
    // software surface shows it by a changed RGB.
    if (auto* soft = dynamic_cast<SoftwareGraphicsBackend*>(&graphics_->backend()))
        if ((soft->surface().color() & 0xFFFFFFu) != (static_cast<std::uint32_t>(argb_) & 0xFFFFFFu)) return 255;
    return static_cast<std::uint32_t>(argb_) >> 24;
}

int DirectGraphicsImpl::getNativePixelFormat() {
    Emulator::trace("DirectGraphics - getNativePixelFormat");
    return 0;
}

void DirectGraphicsImpl::drawPixels(const std::vector<std::int8_t>&, const std::vector<std::int8_t>&, int, int, int,
                                    int, int, int, int, int) {
    Emulator::trace("DirectGraphics - drawPixels");
}
void DirectGraphicsImpl::drawPixels(const std::vector<std::int32_t>&, bool, int, int, int, int, int, int, int, int) {
    Emulator::trace("DirectGraphics - drawPixels");
}
void DirectGraphicsImpl::drawPixels(const std::vector<std::int16_t>&, bool, int, int, int, int, int, int, int, int) {
    Emulator::trace("DirectGraphics - drawPixels");
}
void DirectGraphicsImpl::getPixels(std::vector<std::int8_t>&, std::vector<std::int8_t>&, int, int, int, int, int, int,
                                   int) {
    Emulator::trace("DirectGraphics - getPixels");
}
void DirectGraphicsImpl::getPixels(std::vector<std::int32_t>&, int, int, int, int, int, int, int) {
    Emulator::trace("DirectGraphics - getPixels");
}
void DirectGraphicsImpl::getPixels(std::vector<std::int16_t>&, int, int, int, int, int, int, int) {
    Emulator::trace("DirectGraphics - getPixels");
}

}  // namespace com::nokia::mid::ui
