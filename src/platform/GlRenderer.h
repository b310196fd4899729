// The OpenGL 1.1 calls of the drawing path, behind plain types so nothing
// above the platform sees GL's headers. Every call acts on the context
// current on the calling thread (GlContext.h). Coordinates are GL's: y grows
// upwards from the bottom edge of the viewport.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct GlColour {
    float r = 1, g = 1, b = 1, a = 1;
};

class GlRenderer {
public:
    // Projection 0..width by 0..height, blending source-over, alpha test
    // passing alpha above 0, textures replacing the vertex colour, flat
    // shading, no depth test.
    static void setup2D(int width, int height);
    // Where the projection lands in the drawable, in drawable pixels from
    // its bottom-left corner.
    static void viewport(int x, int y, int width, int height);
    // Clears the whole drawable (no scissor) or, with the scissor on, the
    // scissor box.
    static void clear(const GlColour& colour);
    static void flush();
    // Lines and points as wide as one screen pixel drawn at this scale.
    static void pixelSize(int scale);
    static void scissor(bool on, int x, int y, int width, int height);

    static void fillRect(const GlColour& colour, int x0, int y0, int x1, int y1, bool blend);
    // A one-pixel line through the centres of pixels (x1, y1) and (x2, y2),
    // both included.
    static void drawLine(const GlColour& colour, int x1, int y1, int x2, int y2);

    static unsigned createTexture();
    // rgba: width x height pixels, 4 bytes each in R, G, B, A order, rows
    // from the top. Nearest-texel filtering.
    static void uploadTexture(unsigned id, int width, int height, const std::uint8_t* rgba);
    static void deleteTexture(unsigned id);
    // The texture's (u0, v0)-(u1, v1) over the quad (x0, y0)-(x1, y1); v0
    // goes with y1 (the texture's first row at the top).
    // Without blend the texels are copied, alpha and all.
    static void drawTexture(unsigned id, float u0, float v0, float u1, float v1, int x0, int y0, int x1, int y1,
                            bool blend = true);
    // Gives the texture width x height texels of undefined content.
    static void allocateTexture(unsigned id, int width, int height);
    // Copies the drawable's (x, y, width, height) into the texture's
    // bottom-left corner (its first row is the drawable's bottom row).
    static void copyToTexture(unsigned id, int x, int y, int width, int height);

    // The drawable's (x, y, width, height) as ARGB, rows from the top.
    static std::vector<std::uint32_t> readPixels(int x, int y, int width, int height);
    // Waits until everything drawn so far is done.
    static void finish();
    // The renderer's name (GL_RENDERER).
    static std::string rendererName();
    // The last GL error as text, empty when there was none.
    static std::string error();
};

}  // namespace platform
