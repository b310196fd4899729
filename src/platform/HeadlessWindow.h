// A window system without a display, for tests and the headless driver.
// It keeps what a real window would show (title, geometry, the last
// presented picture) so that tests can look at it, and its event thread is
// the plain task loop.
#pragma once

#include <mutex>

#include "platform/Window.h"

namespace platform {

class HeadlessWindow final : public Window {
public:
    struct Settings {
        Insets insets{};
        Size screen{1280, 1024};
        std::vector<DisplayMode> modes{{1280, 1024, 32, 60}};
        bool displayChangeSupported = true;
    };

    explicit HeadlessWindow(EventLoop& events, Settings settings);

    void setListener(WindowListener* listener) override;
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

    bool displayChangeSupported() override;
    std::vector<DisplayMode> displayModes() override;
    DisplayMode currentDisplayMode() override;
    void enterFullScreen(const DisplayMode* mode) override;
    void leaveFullScreen() override;
    bool isFullScreen() override;

    bool canPaint() override;
    void requestRepaint() override;
    void present(const std::uint32_t* argb, int width, int height, int x, int y) override;
    // OpenGL draws on a hidden window of the client size (it needs a
    // display all the same).
    std::unique_ptr<GlContext> createGlContext() override;

    // What a test can look at.
    struct Snapshot {
        bool shown = false, decorated = true, fullScreen = false, minimised = false;
        Size outer, client;
        int x = 0, y = 0;
        DisplayMode displayMode;
        std::vector<std::uint32_t> icon;
        std::shared_ptr<Cursor> cursor;
        // The client area as last presented (black around the picture).
        std::vector<std::uint32_t> frame;
        int frames = 0;
    };
    Snapshot snapshot() const;
    void setMinimised(bool minimised);

private:
    EventLoop& events_;
    Settings settings_;
    WindowListener* listener_ = nullptr;
    mutable std::mutex mutex_;
    std::string title_;
    Snapshot state_;
    DisplayMode desktopMode_;
    std::shared_ptr<Cursor> arrow_;
};

class HeadlessWindowSystem final : public WindowSystem {
public:
    explicit HeadlessWindowSystem(HeadlessWindow::Settings settings = {}) : settings_(std::move(settings)) {}
    std::unique_ptr<Window> createWindow() override;
    int runEventLoop() override;
    // The window made last (null before the first).
    HeadlessWindow* window() const { return last_; }

private:
    HeadlessWindow::Settings settings_;
    HeadlessWindow* last_ = nullptr;
};

}  // namespace platform
