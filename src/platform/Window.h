// The window system as the emulator sees it: one top-level window showing
// the phone screen, its events, cursors and full-screen modes. Two back ends
// exist: SDL for the program, headless for tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/EventLoop.h"

namespace platform {

class GlContext;

struct Insets {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct Size {
    int width = 0, height = 0;
};

struct DisplayMode {
    int width = 0, height = 0, bitDepth = 0, refreshRate = 0;
    bool operator==(const DisplayMode&) const = default;
};

// Window-event ids as the pause and resume logic knows them.
enum WindowEventId : int {
    WindowIconified = 203,
    WindowDeiconified = 204,
    WindowActivated = 205,
    WindowDeactivated = 206,
    WindowGainedFocus = 207,
    WindowLostFocus = 208,
};

struct KeyEvent {
    bool pressed = true;
    int keyCode = 0;      // PC virtual key code, 0 when the key has none
    int keyLocation = 1;  // 1 standard, 2 left, 3 right, 4 numeric keypad
    // A pad's Start button: the right softkey, which no PC key gives
    // (keyCode is 0 then).
    bool rightSoftKey = false;
};

struct MouseEvent {
    enum class Type { Pressed, Released, Moved, Dragged, Wheel };
    Type type = Type::Moved;
    int x = 0, y = 0;  // relative to the window's outer top-left corner
    int button = 0;    // 1 left, 2 middle, 3 right
    int wheelRotation = 0;  // negative: away from the user (up)
};

// Receives the window's events on the event thread.
class WindowListener {
public:
    virtual ~WindowListener() = default;
    virtual void windowEvent(int id) {}
    virtual void windowClosing() {}
    // The view asked for a repaint; present a frame with Window::present.
    virtual void paintView() {}
    virtual void keyEvent(const KeyEvent& e) {}
    virtual void mouseEvent(const MouseEvent& e) {}
    // The connection to the display broke: nothing can be shown any more.
    // Stop what runs and save what must be saved; the window system ends
    // the process once this returns (with WindowSystem::kDisplayLostStatus).
    // Calls on the window are ignored from now on.
    virtual void displayLost() {}
};

class Cursor {
public:
    virtual ~Cursor() = default;
};

// Calls other than those marked "event thread" may come from any thread;
// back ends forward them to the event thread without waiting.
class Window {
public:
    virtual ~Window() = default;

    virtual void setListener(WindowListener* listener) = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual std::string title() const = 0;
    // Pixels are ARGB, rows top to bottom.
    virtual void setIcon(const std::vector<std::uint32_t>& argb, int width, int height) = 0;
    virtual std::shared_ptr<Cursor> createCursor(const std::vector<std::uint32_t>& argb, int width,
                                                 int height, int hotX, int hotY) = 0;
    virtual std::shared_ptr<Cursor> defaultCursor() = 0;
    virtual void setCursor(std::shared_ptr<Cursor> cursor) = 0;

    // Event thread: geometry, decoration and visibility.
    virtual void setDecorated(bool decorated) = 0;
    virtual Insets insets() = 0;
    virtual void setOuterSize(int width, int height) = 0;
    virtual Size clientSize() = 0;
    virtual void setLocation(int x, int y) = 0;
    virtual Size screenSize() = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void dispose() = 0;

    // Event thread: full screen. A null mode keeps the display's mode.
    virtual bool displayChangeSupported() = 0;
    virtual std::vector<DisplayMode> displayModes() = 0;
    virtual DisplayMode currentDisplayMode() = 0;
    virtual void enterFullScreen(const DisplayMode* mode) = 0;
    // Leaves full screen; the display mode from before comes back.
    virtual void leaveFullScreen() = 0;
    virtual bool isFullScreen() = 0;

    // False while the window cannot show anything (minimised, hidden).
    virtual bool canPaint() = 0;
    // Asks the event thread to call the listener's paintView.
    virtual void requestRepaint() = 0;
    // Event thread: shows a w x h ARGB picture at (x, y) of the client
    // area, black around it.
    virtual void present(const std::uint32_t* argb, int width, int height, int x, int y) = 0;

    // Called on the thread that is to draw with it: an OpenGL context on
    // the client area, current on that thread. Raises std::runtime_error
    // when OpenGL cannot start on this window.
    virtual std::unique_ptr<GlContext> createGlContext();
    // A modal message box; returns once it was dismissed (at once where no
    // box can be shown: the text goes to standard error).
    virtual void alert(const std::string& title, const std::string& text);
};

// The window system: makes the window and owns the event thread.
class WindowSystem {
public:
    // The process's exit status after the display went away.
    static constexpr int kDisplayLostStatus = 2;

    virtual ~WindowSystem() = default;
    virtual std::unique_ptr<Window> createWindow() = 0;
    // A window that OpenGL can draw on (see Window::createGlContext).
    virtual std::unique_ptr<Window> createGlWindow() { return createWindow(); }
    EventLoop& events() { return events_; }

    // Runs the event loop on the calling thread until the process is asked
    // to end; returns the exit status.
    virtual int runEventLoop() = 0;
    // The process is about to end, however it ends: give the display back
    // as it was (full screen left, its mode restored).
    virtual void shutdown() {}
    // Asks the process to end with this status once the event loop returns.
    void exitProcess(int status) { events_.quit(status); }

    static WindowSystem& current();
    static void install(WindowSystem* system);

protected:
    EventLoop events_;
};

}  // namespace platform
