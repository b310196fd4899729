// The SDL2 window (SdlWindowSystem.h makes it). SDL's video calls happen
// on the thread that runs the event loop (the process's main thread); calls
// from other threads are queued to it. Inside the platform only: this
// header needs SDL's, which nothing outside the platform sees.
#pragma once

#include <SDL.h>

#include <atomic>
#include <functional>
#include <mutex>

#include "platform/Window.h"

namespace platform {

class SdlWindowSystem;

class SdlWindow final : public Window {
public:
    // An OpenGL window draws through the contexts made on it; its own
    // presenting renderer is made only if a picture is presented.
    SdlWindow(SdlWindowSystem& system, bool openGl);
    ~SdlWindow() override;

    void setListener(WindowListener* listener) override { listener_ = listener; }
    WindowListener* listener() const { return listener_; }
    void setTitle(const std::string& title) override;
    std::string title() const override;
    void setIcon(const std::vector<std::uint32_t>& argb, int width, int height) override;
    std::shared_ptr<Cursor> createCursor(const std::vector<std::uint32_t>& argb, int width, int height, int hotX,
                                         int hotY) override;
    std::shared_ptr<Cursor> defaultCursor() override;
    void setCursor(std::shared_ptr<Cursor> cursor) override;

    void setDecorated(bool decorated) override;
    Insets insets() override;
    void setOuterSize(int width, int height) override;
    Size clientSize() override;
    void setLocation(int x, int y) override;
    Size screenSize() override;
    void show() override;
    void hide() override;
    void dispose() override;

    bool displayChangeSupported() override { return true; }
    std::vector<DisplayMode> displayModes() override;
    DisplayMode currentDisplayMode() override;
    void enterFullScreen(const DisplayMode* mode) override;
    void leaveFullScreen() override;
    bool isFullScreen() override { return fullScreen_; }

    bool canPaint() override;
    void requestRepaint() override;
    void present(const std::uint32_t* argb, int width, int height, int x, int y) override;
    std::unique_ptr<GlContext> createGlContext() override;
    void alert(const std::string& title, const std::string& text) override;

    // Event thread: one SDL event that concerns this window.
    void handleEvent(const SDL_Event& e);
    Uint32 id() const { return SDL_GetWindowID(window_); }

private:
    void onEventThread(std::function<void()> task);
    void redraw();
    bool makeRenderer();
    int displayIndex() const;

    SdlWindowSystem& system_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureW_ = 0, textureH_ = 0;
    SDL_Rect lastTarget_{0, 0, 0, 0};
    WindowListener* listener_ = nullptr;
    mutable std::mutex titleMutex_;
    std::string title_;
    std::atomic<bool> visible_{false}, minimised_{false}, fullScreen_{false};
    std::atomic<bool> repaintQueued_{false};
    bool decorated_ = true;
    std::shared_ptr<Cursor> arrow_;
    std::shared_ptr<Cursor> cursor_;
    int buttonsDown_ = 0;
};

// PC virtual key code and location for an SDL key; 0 when it has none.
KeyEvent keyEventFromSdl(const SDL_KeyboardEvent& e);

}  // namespace platform
