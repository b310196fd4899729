// Random Graphics calls with random arguments (huge, negative and small) on
// a small canvas. Every call must stay inside the pixel buffers; runtime
// exceptions the calls are documented to raise are fine.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "java/lang/Exceptions.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool more() const { return pos_ < size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // Mostly small values around the canvas, sometimes extremes or any int.
    int value() {
        const std::uint8_t kind = byte();
        switch (kind % 8) {
        case 0: return INT32_MIN + byte();
        case 1: return INT32_MAX - byte();
        case 2: {
            std::uint32_t v = 0;
            for (int i = 0; i < 4; ++i) v = v << 8 | byte();
            return static_cast<int>(v);
        }
        default: return static_cast<int>(byte()) - 64;
        }
    }

private:
    const std::uint8_t* data_;
    std::size_t size_, pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const int w = 1 + in.byte() % 48, h = 1 + in.byte() % 48;
    auto canvas = Image::createImage(w, h);
    auto g = canvas->getGraphics();

    // Pictures to draw: translucent, opaque, and the canvas itself.
    std::vector<std::int32_t> pixels(1 + in.byte() % 64);
    for (auto& p : pixels) p = static_cast<std::int32_t>(in.byte() * 0x01010101u);
    const int sw = 1 + static_cast<int>(pixels.size()) % 8;
    std::vector<std::shared_ptr<Image>> images = {
        Image::createRGBImage(pixels, sw, static_cast<int>(pixels.size()) / sw, true),
        Image::createRGBImage(pixels, sw, static_cast<int>(pixels.size()) / sw, false), canvas};

    for (int steps = 0; in.more() && steps < 64; ++steps) {
        const std::uint8_t op = in.byte();
        int v[9];
        for (int& x : v) x = in.value();
        try {
            switch (op % 20) {
            case 0: g->setColor(v[0]); break;
            case 1: g->setColor(v[0], v[1], v[2]); break;
            case 2: g->translate(v[0], v[1]); break;
            case 3: g->setClip(v[0], v[1], v[2], v[3]); break;
            case 4: g->clipRect(v[0], v[1], v[2], v[3]); break;
            case 5: g->fillRect(v[0], v[1], v[2], v[3]); break;
            case 6: g->drawRect(v[0], v[1], v[2], v[3]); break;
            case 7: g->drawLine(v[0], v[1], v[2], v[3]); break;
            case 8: g->fillTriangle(v[0], v[1], v[2], v[3], v[4], v[5]); break;
            case 9: g->drawArc(v[0], v[1], v[2], v[3], v[4], v[5]); break;
            case 10: g->fillArc(v[0], v[1], v[2], v[3], v[4], v[5]); break;
            case 11: g->drawRoundRect(v[0], v[1], v[2], v[3], v[4], v[5]); break;
            case 12: g->fillRoundRect(v[0], v[1], v[2], v[3], v[4], v[5]); break;
            case 13: g->drawImage(images[op / 20 % images.size()], v[0], v[1], v[2]); break;
            case 14:
                g->drawRegion(images[op / 20 % images.size()], v[0], v[1], v[2], v[3], v[4] & 7, v[5], v[6], v[7]);
                break;
            case 15:
                g->drawRegion(images[op / 20 % images.size()], v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
                break;
            case 16: g->drawRGB(pixels, v[0], v[1], v[2], v[3], v[4], v[5], v[6] & 1); break;
            case 17: g = canvas->getGraphics(); break;
            case 18: {
                const int xs[4] = {v[0], v[1], v[2], v[3]}, ys[4] = {v[4], v[5], v[6], v[7]};
                g->backend().fillPolygon(xs, ys, 3 + (v[8] & 1), static_cast<std::uint32_t>(v[8]));
                break;
            }
            default: {
                std::vector<std::int32_t> out(pixels.size());
                canvas->getRGB(out, v[0], v[1], v[2], v[3], v[4], v[5]);
                break;
            }
            }
        } catch (const java::lang::IllegalArgumentException&) {
        } catch (const java::lang::ArrayIndexOutOfBoundsException&) {
        }
    }
    return 0;
}
