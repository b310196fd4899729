// The desktop side of the handset runtime: configuration, the phone screen,
// the window, the frame hook and the supervisor thread that runs the MIDlet.
// One Emulator exists per process; its class-wide state is grouped in
// Emulator::Config and Emulator::Shared so that tests can reset it.
#pragma once

#include <atomic>
#include <climits>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "java/lang/Runnable.h"
#include "platform/Window.h"

namespace javax::microedition::lcdui {
class Canvas;
class Graphics;
class Image;
}  // namespace javax::microedition::lcdui

namespace javax::microedition::midlet {
class MIDlet;
}

namespace TarvokinEmu {

class Emulator final : public platform::WindowListener {
public:
    // The configuration, written during start-up only (Launch.cpp).
    struct Config {
        int screenWidth = 800;
        int screenHeight = 600;
        int zoom = 1;
        int leftSoftKey = -6;
        int rightSoftKey = -7;
        int keyUp = -1;
        int keyDown = -2;
        int keyLeft = -3;
        int keyRight = -4;
        int keyFire = -5;
        std::optional<std::string> fontName;
        std::string keymapName = "Generic";
        int maxFps = -1;
        bool debugOutput = false;
        bool openGl = false;
        bool pcKeyboard = true;
    };

    // Process-wide state shared by the shell, the display classes and the
    // event thread. Cross-thread flags are atomic.
    struct Shared {
        std::shared_ptr<javax::microedition::lcdui::Image> screenImage;
        std::shared_ptr<javax::microedition::lcdui::Graphics> screenGraphics;
        // Set by every Canvas constructor, cleared when that canvas goes away.
        std::atomic<javax::microedition::lcdui::Canvas*> currentCanvas{nullptr};
        std::atomic<std::shared_ptr<java::lang::Runnable>> serialCall;
        std::atomic<bool> fullScreen{true};
        std::atomic<bool> midletRunning{false};
        std::atomic<bool> exitRequested{false};
        std::atomic<bool> framePainting{false};
        std::atomic<bool> fullScreenSwitching{false};
        std::atomic<std::int64_t> lastWindowEventTime{0};
        std::atomic<std::thread::id> gameThread{};
        // The last mouse position in phone-screen pixels.
        std::atomic<int> lastPointerX{0}, lastPointerY{0};
    };

    // Lets a driver step the application one serial call at a time: the
    // supervisor calls beforeSerialCall with a call pending (it may block)
    // and afterSerialCall once the call has returned.
    class FrameGate {
    public:
        virtual ~FrameGate() = default;
        virtual void beforeSerialCall() = 0;
        virtual void afterSerialCall() = 0;
    };
    static void setFrameGate(FrameGate* gate);

    static Config& config();
    static Shared& shared();
    // Back to the state of a fresh process (tests).
    static void resetClassState();

    // The preferred full-screen modes, in order of preference.
    static const std::vector<platform::DisplayMode>& preferredDisplayModes();

    Emulator();
    ~Emulator() override;
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    static Emulator* getInstance();

    // Start-up, in the order the launcher calls them.
    void createScreen();
    void setupWindow(bool fullScreenRequested);
    void resizeWindow();
    void startMidlet(const std::string& className);

    // The frame hook: paints the current canvas into the phone screen and
    // shows it, then paces the frame rate.
    void renderFrame();

    void requestFullScreen(bool on);
    static bool isFullScreen();
    void setWindowTitle(const std::optional<std::string>& text);
    void setWindowIcon(const std::shared_ptr<javax::microedition::lcdui::Image>& image);
    void setCursorImage(const std::shared_ptr<javax::microedition::lcdui::Image>& image, int hotX = 0,
                        int hotY = 0);
    void showCursor(bool visible);

    // "[EMU message]" on standard output while a MIDlet runs with -debug.
    static void trace(const std::string& message);
    static void traceClassOpened(const std::string& className);
    // Traces "class Opened: NAME" the first time it is called for a name.
    static void traceFirstUse(const char* className);

    // Reads a resource: working directory first, then the resource space.
    // Null when the file exists but cannot be read; raises
    // java::io::IOException when the name is found nowhere.
    static std::optional<std::vector<std::uint8_t>> readResource(const std::string& name);
    static std::optional<std::vector<std::uint8_t>> readFileFromWorkingDir(const std::string& name);
    // The folder the program's data lives in (where the executable is).
    static const std::string& resourceDir();
    static void setResourceDir(std::string dir);

    // Where the phone screen sits in the window's client area, and its scale.
    struct Placement {
        int x = 0, y = 0, scale = 1;
    };
    // Offsets are from the window's outer corner (insets included).
    Placement placement() const;
    platform::Window* window() const { return window_.get(); }

    // The supervisor body (runs on its own thread; public for tests).
    void run();
    // Waits for the supervisor thread (tests; the program exits instead).
    void joinSupervisor();

    // WindowListener, on the event thread.
    void windowEvent(int id) override;
    void windowClosing() override;
    void paintView() override;
    void keyEvent(const platform::KeyEvent& e) override;
    void mouseEvent(const platform::MouseEvent& e) override;
    void displayLost() override;

    // The phone key code for a PC key, or nullopt when the key gives none.
    static std::optional<int> phoneKeyCode(int pcKeyCode, int keyLocation);

    // Zoom kernels, exposed for tests and benchmarks. dst is sized for the
    // zoomed picture.
    static void zoomExact2(const std::uint32_t* src, int w, int h, std::vector<std::uint32_t>& rowBuffer,
                           std::uint32_t* dst);
    static void zoomNearest(const std::uint32_t* src, int w, int h, int zoom, std::uint32_t* dst);

private:
    enum PaintState : int { PaintIdle, PaintPending, PaintInProgress };

    // Starts the OpenGL path; on failure -3d is switched off and the window
    // path draws.
    void startOpenGl();
    void loadFullScreenSetting();
    void saveFullScreenSetting();
    void rebuildWindow();
    void updatePlacement();
    void exitProcess(int status);
    void destroyMidlet();
    void deliverMouse(javax::microedition::lcdui::Canvas& canvas, const platform::MouseEvent& e, int x, int y);

    std::unique_ptr<platform::Window> window_;
    std::string midletClassName_;
    // The running application; the supervisor owns it for the process's life.
    std::shared_ptr<javax::microedition::midlet::MIDlet> midlet_;
    std::string titlePrefix_ = "TarvokinEmu ";
    std::optional<std::string> gameTitle_;
    std::vector<std::uint32_t> gameIcon_;
    int gameIconWidth_ = 0, gameIconHeight_ = 0;

    std::shared_ptr<platform::Cursor> invisibleCursor_, defaultCursor_, gameCursor_;
    bool cursorShown_ = true;

    std::atomic<int> paintPending_{PaintIdle};
    std::atomic<bool> windowRebuildPending_{false};
    std::atomic<bool> closing_{false};
    std::atomic<bool> supervisorRunning_{false};  // inside its loop or before
    std::atomic<int> placementX_{0}, placementY_{0}, placementScale_{1};
    platform::Insets insets_;
    std::atomic<bool> defaultTitleShown_{false};
    // A full-screen switch counts as going on until this time (clock ms):
    // the rebuild is done and its own focus events have had time to come.
    static constexpr std::int64_t kNever = INT64_MAX;
    static constexpr std::int64_t kSwitchSettleMillis = 500;
    std::atomic<std::int64_t> switchSettlesAt_{kNever};
    std::int64_t lastFrameTime_ = 0;
    std::vector<std::uint32_t> zoomRowBuffer_;   // the zoom-2 buffer
    std::vector<std::uint32_t> viewBuffer_;      // the zoomed picture
    std::optional<platform::DisplayMode> savedDisplayMode_;
    // Held by the frame while it paints and by resizeWindow while the
    // window changes.
    std::mutex frameMutex_;
    std::thread supervisor_;
};

}  // namespace TarvokinEmu
