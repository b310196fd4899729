// DirectGraphics on a Graphics context: draws through the context's back
// end, so its translation and clip apply. Shapes blend their colour's alpha.
#pragma once

#include <memory>

#include "com/nokia/mid/ui/DirectGraphics.h"

namespace javax::microedition::lcdui {
class Graphics;
}

namespace com::nokia::mid::ui {

class DirectGraphicsImpl : public DirectGraphics {
public:
    explicit DirectGraphicsImpl(std::shared_ptr<javax::microedition::lcdui::Graphics> g);

    // The anchor is ignored: the top-left corner is always (x, y). The
    // rotations are not supported: they fill the box red and draw the image
    // unrotated.
    void drawImage(const std::shared_ptr<javax::microedition::lcdui::Image>& img, int x, int y, int anchor,
                   int manipulation) override;
    void drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int argb) override;
    void fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int argb) override;
    // Fewer coordinates than nPoints from the offsets throw
    // java::lang::ArrayIndexOutOfBoundsException; nothing changes then.
    void drawPolygon(const std::vector<int>& xPoints, int xOffset, const std::vector<int>& yPoints, int yOffset,
                     int nPoints, int argb) override;
    void fillPolygon(const std::vector<int>& xPoints, int xOffset, const std::vector<int>& yPoints, int yOffset,
                     int nPoints, int argb) override;
    // The surface colour becomes argb, alpha included, until the context's
    // colour is set again; the context's getColor() is unchanged.
    void setARGBColor(int argb) override;
    // The alpha of the surface colour: 255 after a plain setColor.
    int getAlphaComponent() override;
    int getNativePixelFormat() override;

    void drawPixels(const std::vector<std::int8_t>&, const std::vector<std::int8_t>&, int, int, int, int, int, int,
                    int, int) override;
    void drawPixels(const std::vector<std::int32_t>&, bool, int, int, int, int, int, int, int, int) override;
    void drawPixels(const std::vector<std::int16_t>&, bool, int, int, int, int, int, int, int, int) override;
    void getPixels(std::vector<std::int8_t>&, std::vector<std::int8_t>&, int, int, int, int, int, int, int) override;
    void getPixels(std::vector<std::int32_t>&, int, int, int, int, int, int, int) override;
    void getPixels(std::vector<std::int16_t>&, int, int, int, int, int, int, int) override;

private:
    void outline(const std::vector<int>& xs, const std::vector<int>& ys, int argb);
    void fill(const std::vector<int>& xs, const std::vector<int>& ys, int argb);
    template <typename Draw>
    void withColour(int argb, Draw draw);

    std::shared_ptr<javax::microedition::lcdui::Graphics> graphics_;
};

}  // namespace com::nokia::mid::ui
