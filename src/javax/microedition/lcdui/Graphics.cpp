#include "javax/microedition/lcdui/Graphics.h"

#include "TarvokinEmu/Trace.h"
#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Font.h"
#include "javax/microedition/lcdui/Image.h"
#include "javax/microedition/lcdui/SoftwareGraphicsBackend.h"

namespace javax::microedition::lcdui {

Graphics::Graphics(std::shared_ptr<platform::Picture> target)
    : Graphics(std::make_unique<SoftwareGraphicsBackend>(target), target ? target->width : 0,
               target ? target->height : 0) {}

Graphics::Graphics(std::unique_ptr<GraphicsBackend> backend, int width, int height)
    : clipWidth_(width), clipHeight_(height), backend_(std::move(backend)) {
    TarvokinEmu::traceFirstUse("javax.microedition.lcdui.Graphics");
    font_ = Font::getDefaultFont();
}

Graphics::~Graphics() = default;

void Graphics::attachBackend(std::unique_ptr<GraphicsBackend> backend) { backend_ = std::move(backend); }

namespace {

// -v with the handset's wrapping ints (-INT_MIN is INT_MIN).
int negate(int v) { return static_cast<int>(0u - static_cast<std::uint32_t>(v)); }

}  // namespace

int Graphics::anchorOffsetX(int anchor, int width) {
    if (anchor & HCENTER) return -(width / 2);
    if (anchor & RIGHT) return negate(width);
    return 0;
}

int Graphics::anchorOffsetY(int anchor, int height) {
    if (anchor & VCENTER) return -(height / 2);
    if (anchor & BOTTOM) return negate(height);
    return 0;  // BASELINE hangs like TOP
}

void Graphics::setColor(int rgb) {
    color_ = rgb;
    backend_->setColor(rgb);
}

void Graphics::setColor(int red, int green, int blue) {
    setColor((red & 255) << 16 | (green & 255) << 8 | (blue & 255));
    if ((red | green | blue) & ~255) throw java::lang::IllegalArgumentException();
}

void Graphics::setFont(std::shared_ptr<Font> font) { font_ = font ? std::move(font) : Font::getDefaultFont(); }

void Graphics::translate(int dx, int dy) {
    translateX_ = static_cast<int>(static_cast<std::uint32_t>(translateX_) + static_cast<std::uint32_t>(dx));
    translateY_ = static_cast<int>(static_cast<std::uint32_t>(translateY_) + static_cast<std::uint32_t>(dy));
    backend_->translate(dx, dy);
}

void Graphics::setClip(int x, int y, int width, int height) {
    clipX_ = x;
    clipY_ = y;
    clipWidth_ = width;
    clipHeight_ = height;
    backend_->setClip(x, y, width, height);
}

void Graphics::clipRect(int x, int y, int width, int height) { backend_->clipRect(x, y, width, height); }

namespace {

// Offsets added to a coordinate wrap like the handset's ints.
int wrapAdd(int a, int b) { return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b)); }

}  // namespace

void Graphics::drawImage(const std::shared_ptr<Image>& image, int x, int y, int anchor) {
    if (!image) throw java::lang::NullPointerException();
    backend_->drawImage(*image, wrapAdd(x, anchorOffsetX(anchor, image->getWidth())),
                        wrapAdd(y, anchorOffsetY(anchor, image->getHeight())));
}

void Graphics::drawRegion(const std::shared_ptr<Image>& src, int xSrc, int ySrc, int width, int height,
                          int transform, int xDest, int yDest, int anchor) {
    if (!src) throw java::lang::NullPointerException();
    // The anchor uses the untransformed size for every transform.
    backend_->drawRegion(*src, xSrc, ySrc, width, height, transform, wrapAdd(xDest, anchorOffsetX(anchor, width)),
                         wrapAdd(yDest, anchorOffsetY(anchor, height)));
}

void Graphics::drawRGB(std::span<const std::int32_t> rgb, int offset, int scanlength, int x, int y, int width,
                       int height, bool processAlpha) {
    if (width > 0 && height > 0) {
        // Rows are linear in r, so the first and last rows bound every index.
        const std::int64_t first = offset, last = offset + std::int64_t{height - 1} * scanlength;
        const std::int64_t lo = std::min(first, last), hi = std::max(first, last) + width - 1;
        if (lo < 0 || hi >= static_cast<std::int64_t>(rgb.size()))
            throw java::lang::ArrayIndexOutOfBoundsException(std::to_string(lo < 0 ? lo : hi));
    }
    backend_->drawRGB(rgb, offset, scanlength, x, y, width, height, processAlpha);
}

void Graphics::drawString(std::string_view s, int x, int y, int anchor) {
    const int width = font_ ? font_->stringWidth(s) : 0;
    const int height = font_ ? font_->getHeight() : 0;
    const int left = wrapAdd(x, anchorOffsetX(anchor, width));
    const int top = wrapAdd(y, anchorOffsetY(anchor, height));
    if (font_) font_->drawString(*backend_, s, left, top, color_);
}

}  // namespace javax::microedition::lcdui
