// Lets a hosted game switch the window between full screen and windowed.
#pragma once

#include "java/lang/Runnable.h"

namespace com::tkemuapi {

class Util : public java::lang::Runnable {
public:
    static bool isFullScreen();
    // Returns at once; a thread of its own waits 50 ms, then rebuilds the
    // window for the mode on the event thread. Failures there are ignored.
    static void setFullScreen(bool on);

    explicit Util(bool fullScreen) : fullScreen_(fullScreen) {}
    // The delayed rebuild.
    void run() override;

private:
    bool fullScreen_;
};

}  // namespace com::tkemuapi
