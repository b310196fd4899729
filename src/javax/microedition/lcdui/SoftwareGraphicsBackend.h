// The software back end: a platform::RasterSurface on an image's pixel
// buffer, which it keeps alive.
#pragma once

#include <memory>

#include "javax/microedition/lcdui/GraphicsBackend.h"
#include "platform/RasterSurface.h"

namespace javax::microedition::lcdui {

class SoftwareGraphicsBackend : public GraphicsBackend {
public:
    explicit SoftwareGraphicsBackend(std::shared_ptr<platform::Picture> target) : surface_(std::move(target)) {}

    platform::RasterSurface& surface() { return surface_; }

    void setColor(int argb) override { surface_.setColor(static_cast<std::uint32_t>(argb)); }
    void setARGBColor(std::uint32_t argb) override { surface_.setARGBColor(argb); }
    std::uint32_t color() const override { return surface_.color(); }
    void translate(int dx, int dy) override { surface_.translate(dx, dy); }
    void setClip(int x, int y, int width, int height) override { surface_.setClip(x, y, width, height); }
    void clipRect(int x, int y, int width, int height) override { surface_.clipRect(x, y, width, height); }
    platform::Rect saveClip() const override { return surface_.deviceClip(); }
    void restoreClip(const platform::Rect& clip) override { surface_.setDeviceClip(clip); }

    void fillRect(int x, int y, int width, int height) override {
        touch();
        surface_.fillRect(x, y, width, height);
    }
    void drawRect(int x, int y, int width, int height) override {
        touch();
        surface_.drawRect(x, y, width, height);
    }
    void drawLine(int x1, int y1, int x2, int y2) override {
        touch();
        surface_.drawLine(x1, y1, x2, y2);
    }
    void fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3) override {
        touch();
        surface_.fillTriangle(x1, y1, x2, y2, x3, y3);
    }
    void fillPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) override {
        touch();
        surface_.fillPolygon(xs, ys, count, argb);
    }
    void drawPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) override {
        touch();
        surface_.drawPolygon(xs, ys, count, argb);
    }
    void drawArc(int x, int y, int width, int height, int startAngle, int arcAngle) override {
        touch();
        surface_.drawArc(x, y, width, height, startAngle, arcAngle);
    }
    void fillArc(int x, int y, int width, int height, int startAngle, int arcAngle) override {
        touch();
        surface_.fillArc(x, y, width, height, startAngle, arcAngle);
    }
    void drawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) override {
        touch();
        surface_.drawRoundRect(x, y, width, height, arcWidth, arcHeight);
    }
    void fillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) override {
        touch();
        surface_.fillRoundRect(x, y, width, height, arcWidth, arcHeight);
    }

    void drawImage(const Image& image, int x, int y) override;
    void drawRegion(const Image& image, int xSrc, int ySrc, int width, int height, int transform, int x,
                    int y) override;
    void drawRGB(std::span<const std::int32_t> rgb, int offset, int scanlength, int x, int y, int width, int height,
                 bool processAlpha) override;
    void drawFallbackString(std::string_view s, int x, int baselineY) override;

private:
    // The pixels are about to change: textures made from them are stale.
    void touch() {
        if (platform::Picture* p = surface_.target()) ++p->generation;
    }

    platform::RasterSurface surface_;
};

}  // namespace javax::microedition::lcdui
