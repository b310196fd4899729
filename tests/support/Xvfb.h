// A private X server for tests that need a real window system.
#pragma once

#include <sys/types.h>

#include <string>

namespace testsupport {

class Xvfb {
public:
    // Starts Xvfb on a free display number; available() is false when the
    // server is not installed or does not come up.
    explicit Xvfb(const std::string& screen = "1280x1024x24");
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool available() const { return pid_ > 0; }
    // Ends the server at once, as a crash of the display would.
    void kill();
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace testsupport
