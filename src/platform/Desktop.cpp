#include "platform/Desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <mutex>
#include <vector>

extern char** environ;

namespace platform {

namespace {
std::mutex handlerMutex;
std::function<void(const std::string&)> handlerOverride;

void runXdgOpen(const std::string& url) {
    std::vector<char*> argv{const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv.data(), environ) != 0) return;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}
}  // namespace

void Desktop::openUrl(const std::string& url) {
    std::function<void(const std::string&)> handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = handlerOverride;
    }
    if (handler)
        handler(url);
    else
        runXdgOpen(url);
}

void Desktop::setUrlHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard lock(handlerMutex);
    handlerOverride = std::move(handler);
}

}  // namespace platform
