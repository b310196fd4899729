#include "TarvokinEmu/gl/GLMaster.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "TarvokinEmu/gl/Texture.h"
#include "TarvokinEmu/gl/TextureLoader.h"
#include "platform/Console.h"
#include "platform/GlContext.h"
#include "platform/Window.h"

namespace TarvokinEmu::gl {

using platform::GlColour;
using platform::GlRenderer;
using platform::Rect;

namespace {

constexpr GlColour kWhite{1, 1, 1, 1};
constexpr GlColour kBlack{0, 0, 0, 1};

struct State {
    std::unique_ptr<platform::GlContext> context;
    bool initialised = false;
    std::uint64_t serial = 0;
    int dw = 0, dh = 0;
    int offsetX = 0, offsetY = 0, scale = 1;
    platform::Size drawable;
    GlColour colour;
    Rect clip;
    bool frameDrawn = false;
    bool readBack = false;
    // The last frame shown, kept to start the next one from: the game
    // redraws only what changed, as on the software raster's screen.
    unsigned keptFrame = 0;
    int keptWidth = 0, keptHeight = 0, keptScale = 1;
    // The placement the back buffer was last laid out for.
    int laidX = -1, laidY = -1, laidScale = 0;
    platform::Size laidDrawable;
};

State& state() {
    static State s;
    return s;
}

// Texture names freed by images that went away on any thread.
struct Discarded {
    std::mutex mutex;
    std::vector<std::pair<unsigned, std::uint64_t>> names;
};

Discarded& discarded() {
    static Discarded d;
    return d;
}

void freeDiscarded() {
    std::vector<std::pair<unsigned, std::uint64_t>> names;
    {
        std::lock_guard lock(discarded().mutex);
        names.swap(discarded().names);
    }
    for (auto [id, context] : names)
        if (context == state().serial) GlRenderer::deleteTexture(id);
}

Rect scissorOf(const Rect& phone) {
    const State& s = state();
    return GLMaster::scissorFor(phone, s.dh, s.offsetX, s.offsetY, s.scale, s.drawable.height);
}

void applyScissor() {
    const Rect box = scissorOf(state().clip);
    GlRenderer::scissor(true, box.x, box.y, box.width, box.height);
}

void applyViewport() {
    State& s = state();
    s.drawable = s.context->drawableSize();
    GlRenderer::viewport(s.offsetX, s.drawable.height - s.offsetY - s.dh * s.scale, s.dw * s.scale,
                         s.dh * s.scale);
}

int bottomOfScreen() {
    const State& s = state();
    return s.drawable.height - s.offsetY - s.dh * s.scale;
}

// Keeps the screen area of the back buffer (the frame about to be shown).
void keepFrame() {
    State& s = state();
    const int w = s.dw * s.scale, h = s.dh * s.scale;
    if (s.keptFrame == 0) s.keptFrame = GlRenderer::createTexture();
    const int tw = TextureLoader::textureSize(w), th = TextureLoader::textureSize(h);
    if (tw != s.keptWidth || th != s.keptHeight) {
        GlRenderer::allocateTexture(s.keptFrame, tw, th);
        s.keptWidth = tw;
        s.keptHeight = th;
    }
    GlRenderer::scissor(false, 0, 0, 0, 0);
    GlRenderer::copyToTexture(s.keptFrame, s.offsetX, bottomOfScreen(), w, h);
    s.keptScale = s.scale;
    applyScissor();
}

// The back buffer: black around the screen, the kept frame on it (white
// before the first).
void restoreBuffer() {
    State& s = state();
    GlRenderer::scissor(false, 0, 0, 0, 0);
    GlRenderer::clear(kBlack);
    s.clip = {0, 0, s.dw, s.dh};
    applyScissor();
    if (s.keptFrame == 0) {
        GlRenderer::clear(kWhite);
        return;
    }
    const float u = static_cast<float>(s.dw * s.keptScale) / static_cast<float>(s.keptWidth);
    const float v = static_cast<float>(s.dh * s.keptScale) / static_cast<float>(s.keptHeight);
    // The texture's first row is the screen's bottom row.
    GlRenderer::drawTexture(s.keptFrame, 0, v, u, 0, 0, 0, s.dw, s.dh, false);
}

// The width x height picture of a zoomed one (width * scale pixels a row).
void sampleBlocks(const std::uint32_t* zoomed, int width, int height, int scale, std::uint32_t* target) {
    // The middle pixel of each block: a line drawn scale pixels wide may
    // spill half a pixel over a block's edge, never over its middle.
    const std::size_t stride = static_cast<std::size_t>(width) * scale;
    const std::size_t middle = static_cast<std::size_t>(scale / 2);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = zoomed + (static_cast<std::size_t>(y) * scale + middle) * stride + middle;
        for (int x = 0; x < width; ++x) *target++ = row[static_cast<std::size_t>(x) * scale];
    }
}

}  // namespace

GlColour GLMaster::colourOf(std::uint32_t argb) {
    GlColour c;
    c.r = static_cast<float>((argb >> 16) & 255) / 256.0f;
    c.g = static_cast<float>((argb >> 8) & 255) / 256.0f;
    c.b = static_cast<float>(argb & 255) / 256.0f;
    c.a = static_cast<float>((argb >> 24) & 255) / 256.0f;
    if (c.a == 0.0f) c.a = 1.0f;
    return c;
}

Rect GLMaster::scissorFor(const Rect& phone, int dh, int offsetX, int offsetY, int scale, int drawableHeight) {
    const std::int64_t w = std::max(0, phone.width), h = std::max(0, phone.height);
    const std::int64_t glY = std::int64_t{dh} - phone.y - h;  // bottom row in screen GL coordinates
    const std::int64_t bottom = std::int64_t{drawableHeight} - offsetY - std::int64_t{dh} * scale;
    auto fit = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); };
    return {fit(offsetX + std::int64_t{phone.x} * scale), fit(bottom + glY * scale), fit(w * scale), fit(h * scale)};
}

void GLMaster::initialise(platform::Window& window, int width, int height) {
    State& s = state();
    if (s.initialised) return;
    if (const char* force = std::getenv(kForceFailureVariable); force && *force)
        throw std::runtime_error(std::string("OpenGL switched off by ") + kForceFailureVariable);
    s.context = window.createGlContext();
    ++s.serial;
    s.dw = width;
    s.dh = height;
    GlRenderer::clear(kWhite);
    GlRenderer::flush();
    s.context->swap();
    GlRenderer::setup2D(width, height);
    applyViewport();
    s.colour = kWhite;
    s.keptFrame = 0;
    s.keptWidth = s.keptHeight = 0;
    // Both buffers start white.
    for (int i = 0; i < 2; ++i) {
        restoreBuffer();
        GlRenderer::flush();
        s.context->swap();
    }
    restoreBuffer();
    keepFrame();
    s.laidX = s.offsetX;
    s.laidY = s.offsetY;
    s.laidScale = s.scale;
    s.laidDrawable = s.drawable;
    if (const std::string e = GlRenderer::error(); !e.empty()) {
        s.context.reset();
        throw std::runtime_error("OpenGL does not draw: " + e);
    }
    s.initialised = true;
    s.frameDrawn = false;
    platform::Console::println("**************** OPEN GL INITIALIZED");
}

bool GLMaster::initialised() { return state().initialised; }

void GLMaster::close() {
    State& s = state();
    if (!s.initialised) return;
    s.initialised = false;
    s.context.reset();
    s.keptFrame = 0;
    s.keptWidth = s.keptHeight = 0;
    std::lock_guard lock(discarded().mutex);
    discarded().names.clear();
}

std::uint64_t GLMaster::contextSerial() { return state().serial; }

void GLMaster::place(int x, int y, int scale) {
    State& s = state();
    s.offsetX = x;
    s.offsetY = y;
    s.scale = std::max(1, scale);
    if (!s.initialised) return;
    applyViewport();
    applyScissor();
    GlRenderer::pixelSize(s.scale);
    // A new placement (zoom, full screen): the kept frame is laid out anew.
    if (s.offsetX != s.laidX || s.offsetY != s.laidY || s.scale != s.laidScale ||
        s.drawable.width != s.laidDrawable.width || s.drawable.height != s.laidDrawable.height) {
        s.laidX = s.offsetX;
        s.laidY = s.offsetY;
        s.laidScale = s.scale;
        s.laidDrawable = s.drawable;
        restoreBuffer();
    }
}

void GLMaster::setClip(const Rect& clip) {
    State& s = state();
    s.clip = clip;
    if (s.initialised) applyScissor();
}

const Rect& GLMaster::clip() { return state().clip; }

void GLMaster::setColour(std::uint32_t argb) { state().colour = colourOf(argb); }

const GlColour& GLMaster::colour() { return state().colour; }

void GLMaster::fillRect(int x, int y, int width, int height) {
    State& s = state();
    if (!s.initialised || width <= 0 || height <= 0) return;
    const std::int64_t top = std::int64_t{s.dh} - y;
    GlRenderer::fillRect(s.colour, x, static_cast<int>(std::max<std::int64_t>(top - height, INT32_MIN / 2)),
                         static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + width, INT32_MAX / 2)),
                         static_cast<int>(std::clamp<std::int64_t>(top, INT32_MIN / 2, INT32_MAX / 2)),
                         s.colour.a != 1.0f);
    s.colour.a = 1.0f;
}

void GLMaster::drawLine(int x1, int y1, int x2, int y2) {
    State& s = state();
    if (!s.initialised) return;
    // Pixel rows counted from the bottom.
    GlRenderer::drawLine(s.colour, x1, s.dh - 1 - y1, x2, s.dh - 1 - y2);
}

void GLMaster::drawTexture(const Texture& t, int sx, int sy, int width, int height, int x, int y, bool mirrorX,
                           bool mirrorY) {
    State& s = state();
    if (!s.initialised || t.id == 0) return;
    // The part of the region inside the picture, and where it lands.
    const std::int64_t c0 = std::max<std::int64_t>(sx, 0), c1 = std::min<std::int64_t>(std::int64_t{sx} + width, t.width);
    const std::int64_t r0 = std::max<std::int64_t>(sy, 0), r1 = std::min<std::int64_t>(std::int64_t{sy} + height, t.height);
    if (c0 >= c1 || r0 >= r1) return;
    const std::int64_t left = x + (mirrorX ? std::int64_t{sx} + width - c1 : c0 - sx);
    const std::int64_t top = y + (mirrorY ? std::int64_t{sy} + height - r1 : r0 - sy);
    const float tw = static_cast<float>(t.textureWidth), th = static_cast<float>(t.textureHeight);
    float u0 = static_cast<float>(c0) / tw, u1 = static_cast<float>(c1) / tw;
    float v0 = static_cast<float>(r0) / th, v1 = static_cast<float>(r1) / th;
    if (mirrorX) std::swap(u0, u1);
    if (mirrorY) std::swap(v0, v1);
    auto fit = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); };
    const std::int64_t glTop = std::int64_t{s.dh} - top;
    GlRenderer::drawTexture(t.id, u0, v0, u1, v1, fit(left), fit(glTop - (r1 - r0)), fit(left + (c1 - c0)), fit(glTop));
}

void GLMaster::frameDrawn(std::uint32_t* target) {
    State& s = state();
    if (!s.initialised) return;
    s.frameDrawn = true;
    if (!s.readBack || !target) return;
    const Rect whole = scissorFor({0, 0, s.dw, s.dh}, s.dh, s.offsetX, s.offsetY, s.scale, s.drawable.height);
    const auto pixels = GlRenderer::readPixels(whole.x, whole.y, whole.width, whole.height);
    if (pixels.size() != static_cast<std::size_t>(whole.width) * static_cast<std::size_t>(whole.height)) return;
    sampleBlocks(pixels.data(), s.dw, s.dh, s.scale, target);
}

void GLMaster::setReadBack(bool on) { state().readBack = on; }

bool GLMaster::upkeep() {
    State& s = state();
    if (!s.initialised) return false;
    freeDiscarded();
    if (!s.context->visible()) return false;
    if (s.frameDrawn) {
        s.frameDrawn = false;
        keepFrame();
        s.context->swap();
        restoreBuffer();
    }
    return true;
}

void GLMaster::discardTexture(unsigned id, std::uint64_t context) {
    std::lock_guard lock(discarded().mutex);
    discarded().names.emplace_back(id, context);
}

}  // namespace TarvokinEmu::gl
