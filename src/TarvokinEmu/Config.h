// What the command line asked for: screen size, zoom, key codes, font set,
// frame-rate cap and switches. Launch writes it during start-up (from its
// defaults, the options and their clamps); nothing changes it afterwards.
// What is in force at a given moment (full screen or not, the scale of the
// picture, whether OpenGL runs) is the shell's state (SharedState.h).
#pragma once

#include <optional>
#include <string>

#include "platform/KeyCodes.h"

namespace TarvokinEmu {

struct Config {
    int screenWidth = 800;
    int screenHeight = 600;
    // The scale of the picture in a window; full screen scales to fit.
    int zoom = 1;
    int leftSoftKey = platform::phone::kLeftSoftKey;
    int rightSoftKey = platform::phone::kRightSoftKey;
    int keyUp = platform::phone::kUp;
    int keyDown = platform::phone::kDown;
    int keyLeft = platform::phone::kLeft;
    int keyRight = platform::phone::kRight;
    int keyFire = platform::phone::kFire;
    std::optional<std::string> fontName;
    std::string keymapName = "Generic";
    int maxFps = -1;
    bool debugOutput = false;
    bool openGl = false;
    bool pcKeyboard = true;
};

// The process's configuration.
Config& config();

}  // namespace TarvokinEmu
