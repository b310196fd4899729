#include "platform/SdlWindow.h"

#include <algorithm>
#include <stdexcept>

#include "platform/SdlWindowSystem.h"

namespace platform {

namespace {

class SdlCursor final : public Cursor {
public:
    explicit SdlCursor(SDL_Cursor* cursor) : cursor_(cursor) {}
    // Made on first use: only the event thread may create SDL cursors.
    SdlCursor(std::vector<std::uint32_t> argb, int w, int h, int hotX, int hotY)
        : argb_(std::move(argb)), w_(w), h_(h), hotX_(hotX), hotY_(hotY) {}
    ~SdlCursor() override {
        if (cursor_) SDL_FreeCursor(cursor_);
    }
    SDL_Cursor* get() {
        if (!cursor_ && w_ > 0 && h_ > 0) {
            SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(argb_.data(), w_, h_, 32, w_ * 4,
                                                                SDL_PIXELFORMAT_ARGB8888);
            if (s) {
                cursor_ = SDL_CreateColorCursor(s, std::clamp(hotX_, 0, w_ - 1), std::clamp(hotY_, 0, h_ - 1));
                SDL_FreeSurface(s);
            }
        }
        return cursor_;
    }

private:
    SDL_Cursor* cursor_ = nullptr;
    std::vector<std::uint32_t> argb_;
    int w_ = 0, h_ = 0, hotX_ = 0, hotY_ = 0;
};

int bitDepthOf(Uint32 format) { return SDL_BYTESPERPIXEL(format) * 8; }

}  // namespace

// --- window ---------------------------------------------------------------

SdlWindow::SdlWindow(SdlWindowSystem& system, bool openGl) : system_(system) {
    const Uint32 flags = SDL_WINDOW_HIDDEN;
    // Without OpenGL on this display the window is an ordinary one, and
    // OpenGL's start fails later with its own message.
    if (openGl)
        window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600,
                                   flags | SDL_WINDOW_OPENGL);
    if (!window_) window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600, flags);
    if (!window_) throw std::runtime_error(std::string("cannot create the window: ") + SDL_GetError());
    if (!openGl && !makeRenderer())
        throw std::runtime_error(std::string("cannot draw in the window: ") + SDL_GetError());
    arrow_ = std::make_shared<SdlCursor>(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
}

bool SdlWindow::makeRenderer() {
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    return renderer_ != nullptr;
}

SdlWindow::~SdlWindow() {
    system_.forget(this);
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
}

void SdlWindow::onEventThread(std::function<void()> task) {
    if (system_.displayGone()) return;
    if (system_.events().isEventThread())
        task();
    else
        system_.events().post(std::move(task));
}

void SdlWindow::setTitle(const std::string& title) {
    {
        std::lock_guard lock(titleMutex_);
        title_ = title;
    }
    onEventThread([this, title] { SDL_SetWindowTitle(window_, title.c_str()); });
}

std::string SdlWindow::title() const {
    std::lock_guard lock(titleMutex_);
    return title_;
}

void SdlWindow::setIcon(const std::vector<std::uint32_t>& argb, int width, int height) {
    if (width <= 0 || height <= 0 || argb.size() < static_cast<std::size_t>(width) * height) return;
    onEventThread([this, pixels = std::vector<std::uint32_t>(argb), width, height]() mutable {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32, width * 4,
                                                            SDL_PIXELFORMAT_ARGB8888);
        if (!s) return;
        SDL_SetWindowIcon(window_, s);
        SDL_FreeSurface(s);
    });
}

std::shared_ptr<Cursor> SdlWindow::createCursor(const std::vector<std::uint32_t>& argb, int width, int height,
                                                int hotX, int hotY) {
    if (width <= 0 || height <= 0 || argb.size() < static_cast<std::size_t>(width) * height) return arrow_;
    return std::make_shared<SdlCursor>(argb, width, height, hotX, hotY);
}

std::shared_ptr<Cursor> SdlWindow::defaultCursor() { return arrow_; }

void SdlWindow::setCursor(std::shared_ptr<Cursor> cursor) {
    onEventThread([this, cursor] {
        cursor_ = cursor;
        if (auto* c = dynamic_cast<SdlCursor*>(cursor.get()))
            if (SDL_Cursor* sc = c->get()) SDL_SetCursor(sc);
    });
}

void SdlWindow::setDecorated(bool decorated) {
    decorated_ = decorated;
    SDL_SetWindowBordered(window_, decorated ? SDL_TRUE : SDL_FALSE);
}

Insets SdlWindow::insets() {
    if (!decorated_ || fullScreen_) return {};
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) return {};
    return {left, top, right, bottom};
}

void SdlWindow::setOuterSize(int width, int height) {
    Insets in = insets();
    SDL_SetWindowSize(window_, std::max(1, width - in.left - in.right), std::max(1, height - in.top - in.bottom));
}

Size SdlWindow::clientSize() {
    if (fullScreen_) {
        // The window's size follows the mode change asynchronously; the
        // display's mode is what it will be.
        DisplayMode m = currentDisplayMode();
        return {m.width, m.height};
    }
    Size s;
    SDL_GetWindowSize(window_, &s.width, &s.height);
    return s;
}

void SdlWindow::setLocation(int x, int y) {
    Insets in = insets();
    SDL_SetWindowPosition(window_, x + in.left, y + in.top);
}

int SdlWindow::displayIndex() const {
    int index = SDL_GetWindowDisplayIndex(window_);
    return index < 0 ? 0 : index;
}

Size SdlWindow::screenSize() {
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(displayIndex(), &m) != 0) return {800, 600};
    return {m.w, m.h};
}

void SdlWindow::show() {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    visible_ = true;
}

void SdlWindow::hide() {
    SDL_HideWindow(window_);
    visible_ = false;
}

void SdlWindow::dispose() { hide(); }

std::vector<DisplayMode> SdlWindow::displayModes() {
    std::vector<DisplayMode> modes;
    int display = displayIndex();
    int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(display, i, &m) == 0)
            modes.push_back({m.w, m.h, bitDepthOf(m.format), m.refresh_rate});
    }
    return modes;
}

DisplayMode SdlWindow::currentDisplayMode() {
    SDL_DisplayMode m;
    if (SDL_GetCurrentDisplayMode(displayIndex(), &m) != 0) return {800, 600, 32, 0};
    return {m.w, m.h, bitDepthOf(m.format), m.refresh_rate};
}

void SdlWindow::enterFullScreen(const DisplayMode* mode) {
    Uint32 flags = SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (mode) {
        int display = displayIndex();
        int count = SDL_GetNumDisplayModes(display);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode m;
            if (SDL_GetDisplayMode(display, i, &m) == 0 && m.w == mode->width && m.h == mode->height &&
                bitDepthOf(m.format) == mode->bitDepth && SDL_SetWindowDisplayMode(window_, &m) == 0) {
                flags = SDL_WINDOW_FULLSCREEN;
                break;
            }
        }
    }
    if (flags == SDL_WINDOW_FULLSCREEN_DESKTOP) {
        // Without a window manager the desktop full-screen request changes
        // nothing, so cover the display by hand as well.
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(displayIndex(), &bounds) == 0) {
            SDL_SetWindowPosition(window_, bounds.x, bounds.y);
            SDL_SetWindowSize(window_, bounds.w, bounds.h);
        }
    }
    if (SDL_SetWindowFullscreen(window_, flags) != 0 && flags == SDL_WINDOW_FULLSCREEN)
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    fullScreen_ = true;
    visible_ = true;
}

void SdlWindow::leaveFullScreen() {
    // SDL puts the desktop's display mode back when the window leaves.
    SDL_SetWindowFullscreen(window_, 0);
    fullScreen_ = false;
}

bool SdlWindow::canPaint() { return visible_ && !minimised_ && !system_.displayGone(); }

void SdlWindow::requestRepaint() {
    // One queued repaint is enough however many frames asked for it.
    if (system_.displayGone() || repaintQueued_.exchange(true)) return;
    system_.events().post([this] {
        repaintQueued_ = false;
        if (listener_) listener_->paintView();
    });
}

void SdlWindow::present(const std::uint32_t* argb, int width, int height, int x, int y) {
    if (width <= 0 || height <= 0 || system_.displayGone()) return;
    if (!renderer_ && !makeRenderer()) return;
    if (!texture_ || textureW_ != width || textureH_ != height) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
        textureW_ = width;
        textureH_ = height;
        if (!texture_) return;
    }
    SDL_UpdateTexture(texture_, nullptr, argb, width * 4);
    lastTarget_ = SDL_Rect{x, y, width, height};
    redraw();
}

void SdlWindow::redraw() {
    if (!renderer_) return;  // OpenGL draws this window
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (texture_) SDL_RenderCopy(renderer_, texture_, nullptr, &lastTarget_);
    SDL_RenderPresent(renderer_);
}

void SdlWindow::handleEvent(const SDL_Event& e) {
    if (!listener_) return;
    Insets in = insets();
    switch (e.type) {
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            listener_->windowClosing();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            minimised_ = true;
            listener_->windowEvent(WindowIconified);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            if (minimised_.exchange(false)) listener_->windowEvent(WindowDeiconified);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            listener_->windowEvent(WindowActivated);
            listener_->windowEvent(WindowGainedFocus);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            listener_->windowEvent(WindowDeactivated);
            listener_->windowEvent(WindowLostFocus);
            break;
        case SDL_WINDOWEVENT_SHOWN:
            visible_ = true;
            break;
        case SDL_WINDOWEVENT_HIDDEN:
            visible_ = false;
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            redraw();
            listener_->paintView();
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        listener_->keyEvent(keyEventFromSdl(e.key));
        break;
    case SDL_MOUSEMOTION: {
        MouseEvent m;
        m.type = buttonsDown_ ? MouseEvent::Type::Dragged : MouseEvent::Type::Moved;
        m.x = e.motion.x + in.left;
        m.y = e.motion.y + in.top;
        listener_->mouseEvent(m);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        MouseEvent m;
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        m.type = down ? MouseEvent::Type::Pressed : MouseEvent::Type::Released;
        m.x = e.button.x + in.left;
        m.y = e.button.y + in.top;
        m.button = e.button.button == SDL_BUTTON_LEFT ? 1 : e.button.button == SDL_BUTTON_MIDDLE ? 2
                 : e.button.button == SDL_BUTTON_RIGHT ? 3 : 0;
        buttonsDown_ = std::max(0, buttonsDown_ + (down ? 1 : -1));
        listener_->mouseEvent(m);
        break;
    }
    case SDL_MOUSEWHEEL: {
        MouseEvent m;
        m.type = MouseEvent::Type::Wheel;
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        m.x = mx + in.left;
        m.y = my + in.top;
        int dy = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        // SDL counts away from the user as positive; the wheel rotation of
        // the desktop toolkits counts it negative.
        m.wheelRotation = dy > 0 ? -1 : dy < 0 ? 1 : 0;
        if (m.wheelRotation != 0) listener_->mouseEvent(m);
        break;
    }
    default:
        break;
    }
}

}  // namespace platform
