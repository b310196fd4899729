#include "TarvokinEmu/Trace.h"

#include <mutex>
#include <set>

#include "TarvokinEmu/Config.h"
#include "TarvokinEmu/SharedState.h"
#include "platform/Console.h"

namespace TarvokinEmu {

namespace {

struct FirstUse {
    std::mutex mutex;
    std::set<std::string> names;
};

FirstUse& firstUse() {
    static FirstUse f;
    return f;
}

}  // namespace

void trace(const std::string& message) {
    if (shared().midletRunning && config().debugOutput) platform::Console::println("[EMU " + message + "]");
}

void traceClassOpened(const std::string& className) { trace("class Opened: " + className); }

void traceFirstUse(const char* className) {
    {
        std::lock_guard lock(firstUse().mutex);
        if (!firstUse().names.insert(className).second) return;
    }
    traceClassOpened(className);
}

void resetFirstUseTraces() {
    std::lock_guard lock(firstUse().mutex);
    firstUse().names.clear();
}

}  // namespace TarvokinEmu
