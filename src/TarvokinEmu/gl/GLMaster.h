// The OpenGL drawing path: one context on the program's window, owned by
// the supervisor thread, on which the screen context draws rectangles,
// lines and textures, and which shows each finished frame by swapping
// buffers. All state is process-wide; every call but discardTexture runs on
// the thread that called initialise, and does nothing while OpenGL is not
// initialised.
//
// Coordinates given to it are phone-screen pixels (y down from the top);
// GL's y grows upwards, so the phone rectangle (x, y, w, h) covers GL rows
// dh - y - h .. dh - y, dh being the screen height. The phone screen sits in
// the window where the shell places it (offset, whole-number scale); the
// viewport and the scissor follow that placement.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/GlRenderer.h"
#include "platform/RasterSurface.h"

namespace platform {
class Window;
}

namespace TarvokinEmu::gl {

struct Texture;

class GLMaster {
public:
    // The drawing colour of an ARGB int: each component / 256, and alpha
    // 1.0 when the alpha byte is 0 (a colour given as 0xRRGGBB is opaque).
    static platform::GlColour colourOf(std::uint32_t argb);
    // The GL scissor box (bottom-left origin) of a phone rectangle on a
    // screen dh high, with the screen at (offsetX, offsetY) of a drawable
    // drawableHeight high, scaled by scale. Negative sizes count as 0.
    static platform::Rect scissorFor(const platform::Rect& phone, int dh, int offsetX, int offsetY, int scale,
                                     int drawableHeight);

    // Makes the context on window for a width x height phone screen and
    // fills both buffers white. Raises std::runtime_error on failure (no
    // OpenGL on the display, or kForceFailureVariable set).
    static void initialise(platform::Window& window, int width, int height);
    static bool initialised();
    // Ends OpenGL: the context goes, every texture with it.
    static void close();
    // Changes whenever a context is made; textures of another are remade.
    static std::uint64_t contextSerial();

    // Set in the environment, makes initialise fail (tests of the fallback).
    static constexpr const char* kForceFailureVariable = "TARVOKIN_GL_FAIL";

    // Where the screen sits in the drawable: offset from its top-left
    // corner and scale.
    static void place(int x, int y, int scale);

    // The clip in phone coordinates; the scissor box follows it.
    static void setClip(const platform::Rect& clip);
    static const platform::Rect& clip();
    static void setColour(std::uint32_t argb);
    static const platform::GlColour& colour();
    // A colour with its own alpha blends; it lasts one fill, then alpha is
    // 1.0 again.
    static void fillRect(int x, int y, int width, int height);
    static void drawLine(int x1, int y1, int x2, int y2);
    // The region (sx, sy, w, h) of t at (x, y), mirrored as asked; the part
    // of the region outside the texture's picture is left out.
    static void drawTexture(const Texture& t, int sx, int sy, int width, int height, int x, int y,
                            bool mirrorX = false, bool mirrorY = false);

    // A frame was drawn: the next upkeep shows it. With read-back on, its
    // pixels are copied into target (width x height ARGB) first.
    static void frameDrawn(std::uint32_t* target);
    // Copies each drawn frame into the phone screen's pixels (the driver's
    // screenshots), one pixel per screen pixel whatever the zoom.
    static void setReadBack(bool on);
    // Shows the frame drawn since the last call, if any, then clears the
    // back buffer (black around the screen, white on it). False when the
    // drawable cannot be seen.
    static bool upkeep();

    // Any thread: frees a texture name on the drawing thread later.
    static void discardTexture(unsigned id, std::uint64_t context);
};

}  // namespace TarvokinEmu::gl
