// OpenGL contexts made through SDL: on the program's window, and on a
// hidden window for the headless driver.
#include <SDL.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/GlContext.h"
#include "platform/SdlWindow.h"
#include "platform/SdlWindowSystem.h"

namespace platform {

namespace {

class SdlGlContext final : public GlContext {
public:
    // owned: a window made for this context alone, closed with it, sized
    // as standsFor's client area.
    SdlGlContext(SDL_Window* window, Window* standsFor, std::function<bool()> visible)
        : window_(window), owned_(standsFor != nullptr), standsFor_(standsFor), visible_(std::move(visible)) {
        context_ = SDL_GL_CreateContext(window_);
        if (!context_) {
            const std::string why = SDL_GetError();
            if (owned_) {
                SDL_DestroyWindow(window_);
                SDL_QuitSubSystem(SDL_INIT_VIDEO);
            }
            throw std::runtime_error("cannot start OpenGL: " + why);
        }
        SDL_GL_MakeCurrent(window_, context_);
        SDL_GL_SetSwapInterval(1);
    }
    ~SdlGlContext() override {
        SDL_GL_DeleteContext(context_);
        if (owned_) {
            // The display opened for this context is let go with it.
            SDL_DestroyWindow(window_);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }

    void swap() override { SDL_GL_SwapWindow(window_); }
    Size drawableSize() override {
        if (standsFor_) {
            // Zoom and full screen change the stood-for window's size.
            const Size want = standsFor_->clientSize();
            int w = 0, h = 0;
            SDL_GetWindowSize(window_, &w, &h);
            if (want.width > 0 && want.height > 0 && (want.width != w || want.height != h))
                SDL_SetWindowSize(window_, want.width, want.height);
        }
        Size s;
        SDL_GL_GetDrawableSize(window_, &s.width, &s.height);
        return s;
    }
    bool visible() override { return visible_(); }

private:
    SDL_Window* window_;
    SDL_GLContext context_ = nullptr;
    bool owned_;
    Window* standsFor_;
    std::function<bool()> visible_;
};

}  // namespace

std::unique_ptr<GlContext> SdlWindow::createGlContext() {
    if (system_.displayGone()) throw std::runtime_error("the display went away");
    if (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_OPENGL))
        throw std::runtime_error("the window cannot take OpenGL on this display");
    return std::make_unique<SdlGlContext>(window_, nullptr, [this] { return canPaint(); });
}

void SdlWindow::alert(const std::string& title, const std::string& text) {
    if (system_.displayGone() || SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, title.c_str(), text.c_str(), nullptr) != 0)
        Window::alert(title, text);
}

std::unique_ptr<GlContext> createOffscreenGlContext(Window& window) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw std::runtime_error(std::string("cannot open a display for OpenGL: ") + SDL_GetError());
    const Size client = window.clientSize();
    SDL_Window* hidden = SDL_CreateWindow("", 0, 0, std::max(1, client.width), std::max(1, client.height),
                                          SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
    if (!hidden) {
        const std::string why = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw std::runtime_error("cannot start OpenGL: " + why);
    }
    return std::make_unique<SdlGlContext>(hidden, &window, [&window] { return window.canPaint(); });
}

}  // namespace platform
