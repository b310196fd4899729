#include "TarvokinEmu/SharedState.h"

namespace TarvokinEmu {

SharedState& shared() {
    static SharedState store;
    return store;
}

void SharedState::reset() {
    screenImage.reset();
    screenGraphics.reset();
    currentCanvas = nullptr;
    serialCall.store(std::shared_ptr<java::lang::Runnable>());
    fullScreen = true;
    openGl = false;
    midletRunning = false;
    exitRequested = false;
    framePainting = false;
    fullScreenSwitching = false;
    lastWindowEventTime = 0;
    gameThread = std::thread::id{};
    lastPointerX = 0;
    lastPointerY = 0;
}

}  // namespace TarvokinEmu
