// Where a Graphics context's drawing goes. The software back end draws into
// the pixel buffer of an image; a second back end (OpenGL) can take over
// some operations for the screen context. Graphics keeps the recorded state
// (clip, colour, translation, font) and the anchors; a back end holds the
// surface state (its own clip, translation and colour) and does the pixel
// work. Coordinates are user coordinates: the back end translates.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/RasterSurface.h"

namespace javax::microedition::lcdui {

class Image;

class GraphicsBackend {
public:
    virtual ~GraphicsBackend() = default;

    // The surface colour becomes the RGB part of argb, opaque.
    virtual void setColor(int argb) = 0;
    // The surface colour becomes argb with its alpha; until the next colour
    // change, shapes are blended with it.
    virtual void setARGBColor(std::uint32_t argb) = 0;
    virtual std::uint32_t color() const = 0;
    virtual void translate(int dx, int dy) = 0;
    virtual void setClip(int x, int y, int width, int height) = 0;
    virtual void clipRect(int x, int y, int width, int height) = 0;
    // The surface clip in device coordinates, to restore after a drawing
    // that narrows it (glyphs).
    virtual platform::Rect saveClip() const = 0;
    virtual void restoreClip(const platform::Rect& clip) = 0;

    virtual void fillRect(int x, int y, int width, int height) = 0;
    virtual void drawRect(int x, int y, int width, int height) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    virtual void fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3) = 0;
    // A colour with its own alpha (blended), not the surface colour.
    virtual void fillPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) = 0;
    // The closed one-pixel outline, each pixel blended once.
    virtual void drawPolygon(const int* xs, const int* ys, int count, std::uint32_t argb) = 0;
    virtual void drawArc(int x, int y, int width, int height, int startAngle, int arcAngle) = 0;
    virtual void fillArc(int x, int y, int width, int height, int startAngle, int arcAngle) = 0;
    virtual void drawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) = 0;
    virtual void fillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) = 0;

    // Top-left corner at (x, y), source-over.
    virtual void drawImage(const Image& image, int x, int y) = 0;
    // The region with one of the eight transforms; (x, y) is the anchored
    // destination corner.
    virtual void drawRegion(const Image& image, int xSrc, int ySrc, int width, int height, int transform, int x,
                            int y) = 0;
    // The width by height block of rgb whose row r starts at
    // offset + r * scanlength, already checked to lie inside rgb.
    virtual void drawRGB(std::span<const std::int32_t> rgb, int offset, int scanlength, int x, int y, int width,
                         int height, bool processAlpha) = 0;
    // Text in the desktop fallback font, its baseline at baselineY.
    virtual void drawFallbackString(std::string_view s, int x, int baselineY) = 0;
};

}  // namespace javax::microedition::lcdui
