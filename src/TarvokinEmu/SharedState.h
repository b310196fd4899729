// The state the shell shares with the handset classes and the event thread:
// the phone screen, the current canvas, the pending serial call, and what is
// in force (full screen, OpenGL). Cross-thread fields are atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "java/lang/Runnable.h"

namespace javax::microedition::lcdui {
class Canvas;
class Graphics;
class Image;
}  // namespace javax::microedition::lcdui

namespace TarvokinEmu {

struct SharedState {
    std::shared_ptr<javax::microedition::lcdui::Image> screenImage;
    std::shared_ptr<javax::microedition::lcdui::Graphics> screenGraphics;
    // Set by every Canvas constructor, cleared when that canvas goes away.
    std::atomic<javax::microedition::lcdui::Canvas*> currentCanvas{nullptr};
    std::atomic<std::shared_ptr<java::lang::Runnable>> serialCall;
    // In force: the window is full screen (the saved setting, then every
    // switch), and OpenGL draws (asked for with -3d and started).
    std::atomic<bool> fullScreen{true};
    std::atomic<bool> openGl{false};
    std::atomic<bool> midletRunning{false};
    std::atomic<bool> exitRequested{false};
    std::atomic<bool> framePainting{false};
    std::atomic<bool> fullScreenSwitching{false};
    std::atomic<std::int64_t> lastWindowEventTime{0};
    std::atomic<std::thread::id> gameThread{};
    // The last mouse position in phone-screen pixels.
    std::atomic<int> lastPointerX{0}, lastPointerY{0};

    // Back to the state of a fresh process (tests).
    void reset();
};

// The process's shared state.
SharedState& shared();

}  // namespace TarvokinEmu
