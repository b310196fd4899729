#include "platform/GlRenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace platform {

namespace {

void colour(const GlColour& c) { glColor4f(c.r, c.g, c.b, c.a); }

// The switches as last set, so a run of similar drawings (tiles, glyphs)
// does not toggle them on every call: software renderers revalidate their
// whole state on each change.
struct Switches {
    int texturing = -1, blending = -1, alphaTest = -1;
    unsigned bound = ~0u;
};

Switches& switches() {
    static thread_local Switches s;
    return s;
}

void set(int& cached, GLenum cap, bool on) {
    if (cached == int{on}) return;
    cached = on;
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

void texturing(bool on) { set(switches().texturing, GL_TEXTURE_2D, on); }
void blending(bool on) { set(switches().blending, GL_BLEND, on); }
void alphaTest(bool on) { set(switches().alphaTest, GL_ALPHA_TEST, on); }
void bind(unsigned id) {
    if (switches().bound == id) return;
    switches().bound = id;
    glBindTexture(GL_TEXTURE_2D, id);
}

}  // namespace

void GlRenderer::setup2D(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, width, 0, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, width, height);
    switches() = Switches{};
    glDisable(GL_DEPTH_TEST);
    blending(true);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    alphaTest(true);
    glAlphaFunc(GL_GREATER, 0.0f);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glShadeModel(GL_FLAT);
    // Rows of any width, uploaded and read back tightly packed.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

void GlRenderer::viewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

void GlRenderer::clear(const GlColour& c) {
    glClearColor(c.r, c.g, c.b, c.a);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlRenderer::flush() { glFlush(); }

void GlRenderer::pixelSize(int scale) {
    glLineWidth(static_cast<float>(scale));
    glPointSize(static_cast<float>(scale));
}

void GlRenderer::scissor(bool on, int x, int y, int width, int height) {
    if (!on) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, width < 0 ? 0 : width, height < 0 ? 0 : height);
}

void GlRenderer::fillRect(const GlColour& c, int x0, int y0, int x1, int y1, bool blend) {
    texturing(false);
    alphaTest(true);
    blending(blend);
    colour(c);
    glBegin(GL_QUADS);
    glVertex2i(x0, y0);
    glVertex2i(x1, y0);
    glVertex2i(x1, y1);
    glVertex2i(x0, y1);
    glEnd();
}

void GlRenderer::drawLine(const GlColour& c, int x1, int y1, int x2, int y2) {
    texturing(false);
    alphaTest(true);
    blending(false);
    colour(c);
    const float ax = x1 + 0.5f, ay = y1 + 0.5f, bx = x2 + 0.5f, by = y2 + 0.5f;
    glBegin(GL_LINES);
    glVertex2f(ax, ay);
    glVertex2f(bx, by);
    glEnd();
    // GL leaves a line's last pixel out; both ends belong to the line.
    glBegin(GL_POINTS);
    glVertex2f(ax, ay);
    glVertex2f(bx, by);
    glEnd();
}

unsigned GlRenderer::createTexture() {
    GLuint id = 0;
    glGenTextures(1, &id);
    return id;
}

void GlRenderer::uploadTexture(unsigned id, int width, int height, const std::uint8_t* rgba) {
    bind(id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void GlRenderer::deleteTexture(unsigned id) {
    const GLuint name = id;
    if (switches().bound == id) switches().bound = ~0u;
    glDeleteTextures(1, &name);
}

void GlRenderer::drawTexture(unsigned id, float u0, float v0, float u1, float v1, int x0, int y0, int x1, int y1,
                             bool blend) {
    texturing(true);
    alphaTest(blend);
    blending(blend);
    bind(id);
    glBegin(GL_QUADS);
    glTexCoord2f(u0, v1);
    glVertex2i(x0, y0);
    glTexCoord2f(u1, v1);
    glVertex2i(x1, y0);
    glTexCoord2f(u1, v0);
    glVertex2i(x1, y1);
    glTexCoord2f(u0, v0);
    glVertex2i(x0, y1);
    glEnd();
}

void GlRenderer::allocateTexture(unsigned id, int width, int height) {
    bind(id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

void GlRenderer::copyToTexture(unsigned id, int x, int y, int width, int height) {
    bind(id);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, y, width, height);
}

std::vector<std::uint32_t> GlRenderer::readPixels(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    // GL's rows run from the bottom.
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = bytes.data() + static_cast<std::size_t>(height - 1 - row) * width * 4;
        std::uint32_t* out = argb.data() + static_cast<std::size_t>(row) * width;
        for (int i = 0; i < width; ++i, in += 4)
            out[i] = 0xFF000000u | std::uint32_t{in[0]} << 16 | std::uint32_t{in[1]} << 8 | in[2];
    }
    return argb;
}

void GlRenderer::finish() { glFinish(); }

std::string GlRenderer::rendererName() {
    const auto* name = glGetString(GL_RENDERER);
    return name ? reinterpret_cast<const char*>(name) : "";
}

std::string GlRenderer::error() {
    const GLenum e = glGetError();
    if (e == GL_NO_ERROR) return "";
    const auto* text = gluErrorString(e);
    return text ? reinterpret_cast<const char*>(text) : "GL error " + std::to_string(e);
}

}  // namespace platform
