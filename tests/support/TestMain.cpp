#include <gtest/gtest.h>

#include <cstdlib>

// Under LeakSanitizer: what the system's OpenGL driver, X and SDL keep
// until the process ends is theirs, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libGLX\nleak:libGL.so\nleak:_dri.so\nleak:libLLVM\nleak:libX11\nleak:libxcb\nleak:libSDL2\n"
           "leak:libglapi\nleak:libdrm\nleak:libdbus\n";
}

int main(int argc, char** argv) {
    // Tests never open a real window or sound device.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
