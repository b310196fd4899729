#include "support/Xvfb.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace testsupport {

Xvfb::Xvfb(const std::string& screen) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return;
    for (int n = 91 + static_cast<int>(getpid() % 7); n < 140; n += 7) {
        std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
        if (std::filesystem::exists(lock)) continue;
        std::string disp = ":" + std::to_string(n);
        pid_t pid = fork();
        if (pid == 0) {
            int devnull = open("/dev/null", O_RDWR);
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
            execl("/usr/bin/Xvfb", "Xvfb", disp.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                  "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        for (int i = 0; i < 100; ++i) {
            if (std::filesystem::exists(socket)) {
                pid_ = pid;
                display_ = disp;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                return;
            }
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) break;  // lost the race for this number
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ::kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

void Xvfb::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    // A killed server leaves its lock and socket behind, which would keep
    // the display number taken for every later server.
    const std::string n = display_.substr(1);
    std::error_code ec;
    std::filesystem::remove("/tmp/.X" + n + "-lock", ec);
    std::filesystem::remove("/tmp/.X11-unix/X" + n, ec);
}

Xvfb::~Xvfb() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

}  // namespace testsupport
