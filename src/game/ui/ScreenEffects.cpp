#include "game/ui/ScreenEffects.h"

#include <algorithm>
#include <cstdint>

#include "game/GameMidlet.h"
#include "game/MainCanvas.h"
#include "javax/microedition/lcdui/Graphics.h"
#include "javax/microedition/lcdui/Image.h"
#include "platform/Clock.h"

namespace game {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

namespace {
std::unique_ptr<ScreenEffects::State>& stateStore() {
    static auto s = std::make_unique<ScreenEffects::State>();
    return s;
}

// The handset platform's 48-bit linear congruential generator, so that a
// shake's offsets follow from the time it is drawn at.
class TimeSeededRandom {
public:
    explicit TimeSeededRandom(std::int64_t seed)
        : seed_((static_cast<std::uint64_t>(seed) ^ kMultiplier) & kMask) {}

    // 0..n-1 for n > 0.
    int nextInt(int n) {
        if ((n & -n) == n) return static_cast<int>((static_cast<std::int64_t>(n) * next(31)) >> 31);
        std::int64_t bits, value;
        do {
            bits = next(31);
            value = bits % n;
        } while (bits - value + (n - 1) > INT32_MAX);
        return static_cast<int>(value);
    }

private:
    static constexpr std::uint64_t kMultiplier = 0x5DEECE66DULL;
    static constexpr std::uint64_t kMask = (std::uint64_t{1} << 48) - 1;

    std::int64_t next(int bits) {
        seed_ = (seed_ * kMultiplier + 0xB) & kMask;
        return static_cast<std::int64_t>(seed_ >> (48 - bits));
    }

    std::uint64_t seed_;
};

std::vector<std::int32_t> pixelsOf(const Image& image) {
    const int w = image.getWidth(), h = image.getHeight();
    std::vector<std::int32_t> rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    if (!rgb.empty()) image.getRGB(rgb, 0, w, 0, 0, w, h);
    return rgb;
}

int lerpColour(int from, int to, int i, int n) {
    if (n <= 0) return to;
    int out = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const int a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        out |= (a + (b - a) * i / n) << shift;
    }
    return out;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
}  // namespace

ScreenEffects::State& ScreenEffects::state() { return *stateStore(); }

void ScreenEffects::resetClassState() { stateStore() = std::make_unique<State>(); }

// ---- shake ---------------------------------------------------------------

void ScreenEffects::shake(int, int tenths, int) {
    State& s = state();
    if (!s.vibration) return;
    s.duration = static_cast<int>(std::clamp<std::int64_t>(std::int64_t{tenths} * 100, 0, kMaxShakeMs));
    s.amplitude = kShakeAmplitude;
    s.interval = kShakeInterval;
    s.countdown = 0;
    s.startTime = platform::Clock::current().nowMillis();
    s.active = true;
}

void ScreenEffects::drawShaken(GameMidlet& listener, Graphics& g) {
    State& s = state();
    s.offsetX = s.offsetY = 0;
    if (s.active) {
        const std::int64_t now = platform::Clock::current().nowMillis();
        if (now > s.startTime + s.duration) {
            s.active = false;
        } else if (--s.countdown <= 0) {
            TimeSeededRandom random(now);
            s.offsetX = random.nextInt(2 * s.amplitude) - s.amplitude;
            s.offsetY = random.nextInt(2 * s.amplitude) - s.amplitude;
            const int colour = g.getColor();
            g.setColor(kBackgroundColour);
            g.fillRect(0, 0, MainCanvas::kScreenWidth, MainCanvas::kScreenHeight);
            g.setColor(colour);
            s.countdown = s.interval;
        }
    }
    // The offset is taken back even when the frame fails.
    struct Shift {
        Graphics& g;
        int dx, dy;
        Shift(Graphics& graphics, int x, int y) : g(graphics), dx(x), dy(y) { g.translate(dx, dy); }
        ~Shift() { g.translate(-dx, -dy); }
    } shift(g, s.offsetX, s.offsetY);
    listener.paintFrame(g);
}

// ---- fades and scaling ---------------------------------------------------

int ScreenEffects::fadeValue(bool rising, int value, int, int t) {
    // Wide arithmetic: t and value are data of the caller's clock.
    const std::int64_t share = ((std::int64_t{t} << 16) / 1000) * value >> 16;
    const std::int64_t result = rising ? share : value - share;
    return static_cast<int>(std::clamp<std::int64_t>(result, INT32_MIN, INT32_MAX));
}

std::shared_ptr<Image> ScreenEffects::fadedImage(int alpha, const std::shared_ptr<Image>& source) {
    if (!source) return nullptr;
    State& s = state();
    alpha = std::clamp(alpha, 0, 255);
    // Compared before the cache takes the new source, so that a new picture
    // at the same alpha is composed anew.
    if (source == s.fadeSource && alpha == s.fadeAlpha && s.fadeResult) return s.fadeResult;
    if (source != s.fadeSource) {
        auto pixels = pixelsOf(*source);
        s.fadeColours.resize(pixels.size());
        s.fadeAlphas.resize(pixels.size());
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const auto p = static_cast<std::uint32_t>(pixels[i]);
            s.fadeColours[i] = static_cast<std::int32_t>(p & 0xFFFFFF);
            s.fadeAlphas[i] = static_cast<std::uint8_t>(p >> 24);
        }
        s.fadeSource = source;
    }
    std::vector<std::int32_t> out(s.fadeColours.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint32_t a = static_cast<std::uint32_t>(s.fadeAlphas[i]) * static_cast<std::uint32_t>(alpha) / 255;
        out[i] = static_cast<std::int32_t>(a << 24 | static_cast<std::uint32_t>(s.fadeColours[i]));
    }
    s.fadeAlpha = alpha;
    s.fadeResult = Image::createRGBImage(out, source->getWidth(), source->getHeight(), true);
    return s.fadeResult;
}

std::shared_ptr<Image> ScreenEffects::scaledImage(int flag, int percent, const std::shared_ptr<Image>& source) {
    if (percent == 100 || !source) return source;
    State& s = state();
    if (source == s.scaleSource && flag == s.scaleFlag && percent == s.scalePercent && s.scaleResult)
        return s.scaleResult;
    const int w = source->getWidth(), h = source->getHeight();
    const auto pixels = pixelsOf(*source);
    std::vector<std::int32_t> out(pixels.size(), 0);
    if (percent > 0) {
        // Nearest source pixel of each destination pixel's centre, the
        // scaling centred on the picture's centre.
        auto sourceIndex = [percent](int d, int size) {
            return floorDiv((std::int64_t{2} * d + 1 - size) * 100 + std::int64_t{size} * percent,
                            std::int64_t{2} * percent);
        };
        std::vector<std::int64_t> columns(static_cast<std::size_t>(w));
        for (int x = 0; x < w; ++x) columns[static_cast<std::size_t>(x)] = sourceIndex(x, w);
        for (int y = 0; y < h; ++y) {
            const std::int64_t sy = sourceIndex(y, h);
            if (sy < 0 || sy >= h) continue;
            for (int x = 0; x < w; ++x) {
                const std::int64_t sx = columns[static_cast<std::size_t>(x)];
                if (sx < 0 || sx >= w) continue;
                out[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] =
                    pixels[static_cast<std::size_t>(sy * w + sx)];
            }
        }
    }
    s.scaleSource = source;
    s.scaleFlag = flag;
    s.scalePercent = percent;
    s.scaleResult = Image::createRGBImage(out, w, h, true);
    return s.scaleResult;
}

void ScreenEffects::releaseScaled() {
    State& s = state();
    s.scaleSource.reset();
    s.scaleResult.reset();
    s.scalePercent = -1;
}

void ScreenEffects::releaseFaded() {
    State& s = state();
    s.fadeSource.reset();
    s.fadeResult.reset();
    s.fadeColours = {};
    s.fadeAlphas = {};
    s.fadeAlpha = -1;
}

// ---- the selection bar ---------------------------------------------------

void ScreenEffects::highlightBar(Graphics& g, int x, int y, int w, int h, int edgeColour, int centreColour,
                                 int step, int keyColour, bool capped) {
    if (w <= 0 || h <= 0) return;
    State& s = state();
    const BarKey key{w, h, edgeColour & 0xFFFFFF, centreColour & 0xFFFFFF, std::max(step, 1), keyColour & 0xFFFFFF,
                     capped};
    if (!s.bar || !(key == s.barKey)) {
        s.bar.reset();
        s.bar = renderBar(key);
        s.barKey = key;
    }
    if (s.bar) g.drawImage(s.bar, x, y, Graphics::TOP | Graphics::LEFT);
}

std::shared_ptr<Image> ScreenEffects::renderBar(const BarKey& k) {
    const int w = k.w, h = k.h, half = h / 2;
    auto picture = Image::createImage(w, h, k.keyColour);
    Graphics& g = *picture->getGraphics();
    if (k.edgeColour == k.centreColour) {
        g.setColor(k.edgeColour);
        g.fillRect(0, 0, w, h);
    } else {
        // Caps: the left one takes half columns, the right one the rest of
        // h, the straight part w - h between them.
        const int rightCap = h - half;
        for (int i = 0; i < half; i += k.step) {
            const int band = std::min(k.step, half - i);
            g.setColor(lerpColour(k.edgeColour, k.centreColour, i, half - 1));
            if (k.capped) {
                const int d = h - 2 * i;
                g.setClip(0, 0, half, h);
                g.fillArc(i, i, d, d, 0, 360);
                g.setClip(w - rightCap, 0, rightCap, h);
                g.fillArc(w - h + i, i, d, d, 0, 360);
                g.setClip(0, 0, w, h);
                if (w > h) {
                    g.fillRect(half, i, w - h, band);
                    g.fillRect(half, h - i - band, w - h, band);
                }
            } else {
                g.fillRect(0, i, w, band);
                g.fillRect(0, h - i - band, w, band);
            }
        }
        if (h % 2 == 1) {  // the middle row of an odd height
            g.setColor(k.centreColour);
            if (k.capped) {
                if (w > h) g.fillRect(half, half, w - h, 1);
            } else {
                g.fillRect(0, half, w, 1);
            }
        }
    }
    auto pixels = pixelsOf(*picture);
    for (auto& p : pixels)
        if ((static_cast<std::uint32_t>(p) & 0xFFFFFF) == static_cast<std::uint32_t>(k.keyColour)) p = 0;
    return Image::createRGBImage(pixels, w, h, true);
}

}  // namespace game
