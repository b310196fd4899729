// An OpenGL context on a drawable: the client area of the program's window,
// or a hidden one for the headless driver. It is current on the thread that
// made it, and only that thread may use it (or draw with GlRenderer.h).
#pragma once

#include <memory>

#include "platform/Window.h"

namespace platform {

class GlContext {
public:
    virtual ~GlContext() = default;
    // Shows the frame drawn since the last swap.
    virtual void swap() = 0;
    // The drawable's size in pixels (follows full screen and zoom).
    virtual Size drawableSize() = 0;
    // False while nothing drawn can be seen (hidden, minimised).
    virtual bool visible() = 0;
};

// A context on a hidden window standing in for window, which has no display
// of its own (the headless driver's): it follows window's client size, and
// its frames count as seen while window can paint. Raises
// std::runtime_error when OpenGL cannot start.
std::unique_ptr<GlContext> createOffscreenGlContext(Window& window);

}  // namespace platform
