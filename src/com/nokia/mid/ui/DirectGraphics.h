// Drawing with alpha colours and image flips on a Graphics context.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace javax::microedition::lcdui {
class Image;
}

namespace com::nokia::mid::ui {

class DirectGraphics {
public:
    static constexpr int FLIP_HORIZONTAL = 8192, FLIP_VERTICAL = 16384, ROTATE_90 = 90, ROTATE_180 = 180,
                         ROTATE_270 = 270;
    static constexpr int TYPE_BYTE_1_GRAY = 1, TYPE_BYTE_1_GRAY_VERTICAL = -1, TYPE_BYTE_2_GRAY = 2,
                         TYPE_BYTE_4_GRAY = 4, TYPE_BYTE_8_GRAY = 8, TYPE_BYTE_332_RGB = 332,
                         TYPE_USHORT_4444_ARGB = 4444, TYPE_USHORT_444_RGB = 444, TYPE_USHORT_555_RGB = 555,
                         TYPE_USHORT_1555_ARGB = 1555, TYPE_USHORT_565_RGB = 565, TYPE_INT_888_RGB = 888,
                         TYPE_INT_8888_ARGB = 8888;

    virtual ~DirectGraphics() = default;

    virtual void drawImage(const std::shared_ptr<javax::microedition::lcdui::Image>& img, int x, int y, int anchor,
                           int manipulation) = 0;
    virtual void drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int argb) = 0;
    virtual void fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int argb) = 0;
    virtual void drawPolygon(const std::vector<int>& xPoints, int xOffset, const std::vector<int>& yPoints,
                             int yOffset, int nPoints, int argb) = 0;
    virtual void fillPolygon(const std::vector<int>& xPoints, int xOffset, const std::vector<int>& yPoints,
                             int yOffset, int nPoints, int argb) = 0;
    virtual void setARGBColor(int argb) = 0;
    virtual int getAlphaComponent() = 0;
    virtual int getNativePixelFormat() = 0;

    virtual void drawPixels(const std::vector<std::int8_t>& pixels, const std::vector<std::int8_t>& mask, int offset,
                            int scanlength, int x, int y, int width, int height, int manipulation, int format) = 0;
    virtual void drawPixels(const std::vector<std::int32_t>& pixels, bool transparency, int offset, int scanlength,
                            int x, int y, int width, int height, int manipulation, int format) = 0;
    virtual void drawPixels(const std::vector<std::int16_t>& pixels, bool transparency, int offset, int scanlength,
                            int x, int y, int width, int height, int manipulation, int format) = 0;
    virtual void getPixels(std::vector<std::int8_t>& pixels, std::vector<std::int8_t>& alpha, int offset,
                           int scanlength, int x, int y, int width, int height, int format) = 0;
    virtual void getPixels(std::vector<std::int32_t>& pixels, int offset, int scanlength, int x, int y, int width,
                           int height, int format) = 0;
    virtual void getPixels(std::vector<std::int16_t>& pixels, int offset, int scanlength, int x, int y, int width,
                           int height, int format) = 0;
};

}  // namespace com::nokia::mid::ui
