// The shell: the desktop side of the handset runtime. It owns the window
// (windowed or full screen) that shows the phone screen, the supervisor
// thread that starts the MIDlet and runs its serial calls, the frame hook
// that paints the current canvas and presents it, and the translation of PC
// keys and mouse into handset calls. One Emulator exists per process.
//
// Below it, and free of it, are the units the handset classes use:
//   Config.h       what the command line asked for
//   SharedState.h  the phone screen, the current canvas, what is in force
//   Trace.h        "[EMU ...]" lines
//   Resources.h    the resource lookup
//   Shell.h        the frame hook and window rebuild, as an interface
//   DesktopMouseListener.h  mouse buttons and wheel of a desktop canvas
// Above it: Launch (the command line), Program (main's body), TestCard.
#pragma once

#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Shell.h"
#include "platform/Window.h"

namespace javax::microedition::midlet {
class MIDlet;
}

namespace TarvokinEmu {

class Emulator final : public Shell, public platform::WindowListener {
public:
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

    // Back to the state of a fresh process: configuration, shared state and
    // first-use traces (tests).
    static void resetClassState();

    // The preferred full-screen modes, in order of preference.
    static const std::vector<platform::DisplayMode>& preferredDisplayModes();

    Emulator();
    ~Emulator() override;

    static Emulator* getInstance();

    // Start-up, in the order the launcher calls them.
    void createScreen();
    void setupWindow(bool fullScreenRequested) override;
    void resizeWindow();
    void startMidlet(const std::string& className);

    // The frame hook: paints the current canvas into the phone screen and
    // shows it, then paces the frame rate.
    void renderFrame() override;

    void requestFullScreen(bool on);
    static bool isFullScreen();
    void setWindowTitle(const std::optional<std::string>& text);
    void setWindowIcon(const std::shared_ptr<javax::microedition::lcdui::Image>& image);
    void setCursorImage(const std::shared_ptr<javax::microedition::lcdui::Image>& image, int hotX = 0,
                        int hotY = 0);
    void showCursor(bool visible);

    // Where the phone screen sits in the window, and the scale in force.
    // Offsets are from the window's outer corner (insets included).
    struct Placement {
        int x = 0, y = 0, scale = 1;
    };
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

    // Supervisor thread (public for tests). Starts the OpenGL path; on
    // failure the window path draws.
    void startOpenGl();
    // Supervisor thread, OpenGL on: the frame drawn since the last upkeep is
    // shown and the viewport follows the placement. While the window cannot
    // be seen, a frame the window asked for is drawn (it is shown later),
    // then the supervisor sleeps 100 ms.
    void glUpkeep();

private:
    enum PaintState : int { PaintIdle, PaintPending, PaintInProgress };

    void placeOpenGl();
    void loadFullScreenSetting();
    void saveFullScreenSetting();
    void rebuildWindow();
    void updatePlacement();
    void exitProcess(int status);
    void destroyMidlet();
    void deliverMouse(javax::microedition::lcdui::Canvas& canvas, const platform::MouseEvent& e, int x, int y);
    // Frame thread: whether this frame has to go to the window (it differs
    // from the last one shown, or the window was rebuilt since).
    bool frameNeedsPresent();
    // Frame thread: asks the window to show the frame and waits until it
    // has; false when the window could not show it.
    bool presentAndWait();

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
    // The paint clears paintPending_ under presentMutex_ and signals.
    std::mutex presentMutex_;
    std::condition_variable presented_;
    // The window was rebuilt: the next frame is shown whatever it holds.
    std::atomic<bool> presentNeeded_{true};
    std::vector<std::uint32_t> shownFrame_;  // frame thread: the last frame shown
    std::atomic<bool> windowRebuildPending_{false};
    // OpenGL was asked for and has neither started nor failed yet: the
    // window path must not draw on the window meanwhile (a presenting
    // renderer would take the window from OpenGL).
    std::atomic<bool> openGlStarting_{false};
    // OpenGL on: the window asked to be painted since the last upkeep.
    std::atomic<bool> glDirty_{false};
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
