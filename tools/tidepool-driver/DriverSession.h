// The real program run in this process on the headless window system with a
// fixed-step clock, one frame at a time: inputs are handed to the window's
// event thread before the frame that takes them, and between frames the
// game is idle, so the caller may read (and a solver snapshot) its state.
// One session per process: it installs the clock and the window system.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "InputScript.h"

namespace TarvokinEmu {
class Launch;
}

namespace driver {

class Session {
public:
    struct Options {
        int stepMs = 20;
        std::string dataDir;  // made when missing; becomes the working folder
        std::vector<std::string> programArgs;
        // Prints "state FRAME OLD NEW" and the hand-over notes.
        bool printStates = true;
    };
    explicit Session(const Options& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs the next frame after delivering the inputs (their frame numbers
    // are not read). False when the program stopped or no frame came.
    bool frame(const std::vector<ScriptInput>& inputs = {});
    // Delivers one input on the event thread now, as frame() does.
    void deliver(const ScriptInput& input);
    int framesRun() const { return frame_; }
    // The program stopped or asked to stop.
    bool stopping() const;
    TarvokinEmu::Launch& launch();
    // Lets the program stop as a closed window stops it and ends the
    // process with the event loop's status.
    [[noreturn]] void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int frame_ = 0;
    std::optional<int> lastState_;
    bool printStates_ = true;
};

}  // namespace driver
